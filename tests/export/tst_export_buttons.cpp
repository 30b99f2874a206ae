// "Exportar CSV" in the inventory and results windows, through the real buttons: the file holds
// the rows the window shows, numbers as numbers, under the name the dialog was offered.
#include "tests/support/file_helpers.h"
#include "tests/support/message_box_watcher.h"
#include "export_hook.h"
#include "reports/form2.h"
#include "reports/form5.h"
#include "tables/station_readings.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray Bom = "\xEF\xBB\xBF";

const QString Station = QStringLiteral("Posto Centro");

// Tank 3 has no reading; tank 5 has one but the configuration counts four tanks.
StationReadings inventoryReadings()
{
    StationReadings readings;
    readings.setStation(Station);
    readings.setTankCount(4);
    readings.keepReading(1, {" 01", "  1234.5", "   100", " 0.75", "GASOLINA   ", "071226", "153000"});
    readings.keepReading(2, {" 02", "  2000", " 10.25", " 0.84", "-DIESEL S10", "071226", "153107"});
    readings.keepReading(4, {" 04", "S/Inf.", "    50", " 0.7", "GASOLINA   ", "000000", "999999"});
    readings.keepReading(5, {" 05", "  9999", "   999", " 0.9", "ETANOL     ", "071226", "153200"});
    return readings;
}

ScheduledTable scheduledRecords()
{
    ScheduledTable records;
    records[0] = {"071226", "080000", "  1500.5", " 01"};
    records[1] = {" 71226", "123456", "    20", " 02"};  // read as 071226, as the window shows it
    records[2] = {"311326", "000000", "   ABC", " 03"};
    records[3] = {"081226", "000000", "   999", " 04"};  // past the count
    return records;
}

// One of the two windows, filled as the console fills it and shown.
struct ReportWindow {
    explicit ReportWindow(const QString &which)
    {
        if (which.startsWith(u"inventory")) {
            if (which == u"inventory, tank 3 off-line")
                readings.keepFailure(3, QStringLiteral("Sonda OFF-LINE ou Inexistente !"));
            window = std::make_unique<Form2>(readings);
        } else {
            auto results = std::make_unique<Form5>(scheduledRecords(), 3, QStringLiteral("071226"));
            results->setStationName(Station);
            window = std::move(results);
        }
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void exportCsv()
    {
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("Exportar_CSV")), Qt::LeftButton);
    }

    StationReadings readings = inventoryReadings();
    std::unique_ptr<QDialog> window;
};

} // namespace

class TestExportButtons : public QObject {
    Q_OBJECT

private slots:
    void windowWritesItsRows_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("inventory")
            << "inventory" << "Inventario_Posto-Centro_"
            << QStringList{"Tanque;Vol. Medido;Vol. Complementar;Densidade;Produto;Data e Hora",
                           "1;1234,5;100;0,75;GASOLINA;07/12/2026 15:30:00",
                           "2;2000;10,25;0,84;'-DIESEL S10;07/12/2026 15:31:07",
                           "4;S/Inf.;50;0,7;GASOLINA;",
                           "",
                           "Produto;Vol. Medido;Vol. Complementar",
                           "GASOLINA;1234,5;150",
                           "'-DIESEL S10;2000;10,25"};
        QTest::newRow("inventory, tank 3 off-line")
            << "inventory, tank 3 off-line" << "Inventario_Posto-Centro_"
            << QStringList{"Tanque;Vol. Medido;Vol. Complementar;Densidade;Produto;Data e Hora;Situação",
                           "1;1234,5;100;0,75;GASOLINA;07/12/2026 15:30:00;",
                           "2;2000;10,25;0,84;'-DIESEL S10;07/12/2026 15:31:07;",
                           "3;;;;;;Sonda OFF-LINE ou Inexistente !",
                           "4;S/Inf.;50;0,7;GASOLINA;;",
                           "",
                           "Produto;Vol. Medido;Vol. Complementar;Situação",
                           "GASOLINA;1234,5;150;incompleto: tanque 3 sem leitura",
                           "'-DIESEL S10;2000;10,25;incompleto: tanque 3 sem leitura"};
        QTest::newRow("results") << "results" << "Medicoes-2026-12-07_Posto-Centro_"
                                 << QStringList{"No.;Tanque;Volume;Data e Hora", "1;1;1500,5;07/12/2026 08:00:00",
                                                "2;2;20;07/12/2026 12:34:56", "3;3;ABC;"};
    }

    // The file is exactly the rows; the name offered is what, where and when, as
    // "<name>2026-12-07_1530.csv".
    void windowWritesItsRows()
    {
        QFETCH(QString, which);
        QFETCH(QString, name);
        QFETCH(QStringList, lines);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("saida.csv"));
        SaveDialogStandIn dialog(path);
        MessageBoxWatcher boxes;
        ReportWindow report(which);
        report.exportCsv();

        QCOMPARE(dialog.captions, QStringList{"Exportar CSV"});
        const QString offered = QFileInfo(dialog.suggested.value(0)).fileName();
        const QRegularExpression pattern(QRegularExpression::escape(name)
                                         + QStringLiteral("\\d{4}-\\d\\d-\\d\\d_\\d{4}\\.csv"));
        QVERIFY2(pattern.match(offered).hasMatch(), qPrintable(offered));
        QCOMPARE(readAll(path), Bom + (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
        QCOMPARE(boxes.texts, QStringList());
    }

    void printStaysTheDefaultButton_data()
    {
        QTest::addColumn<QString>("which");
        QTest::newRow("inventory") << "inventory";
        QTest::newRow("results") << "results";
    }

    // Enter pressed away from the buttons prints, as it did before the window could export.
    void printStaysTheDefaultButton()
    {
        QFETCH(QString, which);
        ReportWindow report(which);
        QVERIFY(report.window->findChild<QPushButton *>(QStringLiteral("Imprimir"))->isDefault());
        QVERIFY(!report.window->findChild<QPushButton *>(QStringLiteral("Exportar_CSV"))->isDefault());
    }

    void outcomeOfTheDialog_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("reported");
        QTest::newRow("cancelled") << "inventory" << "" << "" << false;
        QTest::newRow("no extension") << "results" << "planilha" << "planilha.csv" << false;
        QTest::newRow("missing folder") << "inventory" << "falta/planilha.csv" << "" << true;
        QTest::newRow("folder in the way") << "results" << "pasta.csv" << "" << true;
    }

    // Cancelling writes nothing and says nothing; a file that cannot be written is reported
    // with its path and reason, and leaves the folder as it was.
    void outcomeOfTheDialog()
    {
        QFETCH(QString, which);
        QFETCH(QString, answer);
        QFETCH(QString, written);
        QFETCH(bool, reported);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("pasta.csv")));
        SaveDialogStandIn dialog(answer.isEmpty() ? QString() : dir.filePath(answer));
        MessageBoxWatcher boxes;
        ReportWindow report(which);
        report.exportCsv();

        QStringList expected{"pasta.csv"};
        if (!written.isEmpty())
            expected << written;
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), expected);
        QCOMPARE(boxes.texts.size(), reported ? 1 : 0);
        if (reported)
            QVERIFY2(boxes.texts[0].startsWith(QStringLiteral("Não foi possível gravar o arquivo %1: ")
                                                   .arg(QDir::toNativeSeparators(dir.filePath(answer)))),
                     qPrintable(boxes.texts[0]));
    }
};

QTEST_MAIN(TestExportButtons)
#include "tst_export_buttons.moc"
