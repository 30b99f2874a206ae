// A spreadsheet reads the export right: LibreOffice Calc, headless, imports an inventory CSV as a
// Brazilian spreadsheet would (';', decimal commas, UTF-8) and writes it back out with ',' and
// decimal points, text quoted and every other cell bare: numbers and dates must come out bare,
// with their values.
#include "export/csv_writer.h"
#include "export/file_saving.h"
#include "reports/report_csv.h"
#include "tables/station_readings.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

class TestSpreadsheetImport : public QObject {
    Q_OBJECT

private slots:
    void calcReadsNumbersAndDates()
    {
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty())
            QSKIP("LibreOffice Calc (soffice) is not installed; scripts/install-deps installs libreoffice-calc-nogui");

        StationReadings tanks;
        tanks.setTankCount(3);
        tanks.keepReading(1, {" 01", "  1234.5", "   100", " 0.75", "GASOLINA   ", "071226", "153000"});
        tanks.keepReading(2, {" 02", "  2000", "  0.25", " 0.84", "-DIESEL; S10", "310127", "080509"});
        tanks.keepReading(3, {" 03", "S/Inf.", "  1500", " 0.7", "=ETANOL", "000000", "999999"});
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("Inventario.csv"));
        QCOMPARE(saveWholeFile(csv, csvFile(inventoryRows(tanks))), QString());

        // A profile of its own, so that no other LibreOffice running on the machine is involved.
        const QString profile = QUrl::fromLocalFile(dir.filePath(QStringLiteral("perfil"))).toString();
        const QString output = dir.filePath(QStringLiteral("saida"));
        QProcess calc;
        calc.setProcessChannelMode(QProcess::MergedChannels);
        // Import: ';' (59), '"' (34), UTF-8 (76), from line 1, Portuguese (Brazil) numbers (1046).
        // Export: ',' (44), '"', UTF-8, English (USA) (1033), text quoted, values rather than as shown.
        calc.start(soffice, {QStringLiteral("-env:UserInstallation=") + profile, QStringLiteral("--headless"),
                             QStringLiteral("--infilter=CSV:59,34,76,1,,1046"), QStringLiteral("--convert-to"),
                             QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,1033,true,true,false"),
                             QStringLiteral("--outdir"), output, csv});
        QVERIFY2(calc.waitForFinished(180000), "LibreOffice did not finish in three minutes");
        const QByteArray said = calc.readAll();
        QVERIFY2(calc.exitStatus() == QProcess::NormalExit && calc.exitCode() == 0, said.constData());
        QFile converted(QDir(output).filePath(QStringLiteral("Inventario.csv")));
        QVERIFY2(converted.open(QIODevice::ReadOnly), said.constData());

        const QStringList lines = QString::fromUtf8(converted.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList expected{
            R"("Tanque","Vol. Medido","Vol. Complementar","Densidade","Produto","Data e Hora")",
            R"(1,1234.5,100,0.75,"GASOLINA",12/07/2026 15:30:00)",
            R"(2,2000,0.25,0.84,"'-DIESEL; S10",01/31/2027 08:05:09)",
            R"(3,"S/Inf.",1500,0.7,"'=ETANOL",)",
            R"(,,,,,)",
            R"("Produto","Vol. Medido","Vol. Complementar",,,)",
            R"("GASOLINA",1234.5,100,,,)",
            R"("'-DIESEL; S10",2000,0.25,,,)",
            R"("'=ETANOL",0,1500,,,)",
        };
        QCOMPARE(lines, expected);
    }
};

QTEST_GUILESS_MAIN(TestSpreadsheetImport)
#include "tst_spreadsheet_import.moc"
