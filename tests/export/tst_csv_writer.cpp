// The spreadsheet format: what a cell holds comes back equal through an RFC 4180 reader, numbers
// carry decimal commas, date-times are the station's wall clock, and only text is guarded
// against formulas.
#include "tests/support/csv_reader.h"
#include "export/csv_writer.h"

#include <QTest>

#include <cmath>
#include <limits>

namespace {

const QByteArray Bom = "\xEF\xBB\xBF";

// The one record a single row reads back as, the BOM taken off; nothing when it does not read.
std::optional<QStringList> readBack(const CsvRow &row, const CsvFormat &format = {})
{
    const QByteArray file = csvFile({row}, format);
    const QByteArray body = format.byteOrderMark && file.startsWith(Bom) ? file.mid(Bom.size()) : file;
    const auto records = readCsv(body, format.separator);
    if (!records || records->size() != 1)
        return std::nullopt;
    return records->first();
}

} // namespace

class TestCsvWriter : public QObject {
    Q_OBJECT

private slots:
    void textReadsBackEqual_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "GASOLINA" << "GASOLINA";
        QTest::newRow("separator") << "Posto; Centro" << "Posto; Centro";
        QTest::newRow("quotes") << "o \"melhor\" posto" << "o \"melhor\" posto";
        QTest::newRow("CRLF") << "linha 1\r\nlinha 2" << "linha 1\r\nlinha 2";
        QTest::newRow("bare LF") << "linha 1\nlinha 2" << "linha 1\nlinha 2";
        QTest::newRow("bare CR") << "antes\rdepois" << "antes\rdepois";
        QTest::newRow("accents") << "Óleo diesel S-10 ação ç € º" << "Óleo diesel S-10 ação ç € º";
        QTest::newRow("blanks kept") << "  GASOLINA  " << "  GASOLINA  ";
        QTest::newRow("empty text") << "" << "";
        QTest::newRow("formula =") << "=SOMA(A1:A9)" << "'=SOMA(A1:A9)";
        QTest::newRow("formula +") << "+55 11 5555" << "'+55 11 5555";
        QTest::newRow("formula -") << "-DIESEL" << "'-DIESEL";
        QTest::newRow("formula @") << "@SOMA(1)" << "'@SOMA(1)";
        QTest::newRow("formula with separator and quote") << "=HIPERLINK(\"x\";\"y\")" << "'=HIPERLINK(\"x\";\"y\")";
        QTest::newRow("formula sign not first") << "A=B" << "A=B";
        QTest::newRow("apostrophe already") << "'=1" << "'=1";
    }

    // The text between two other cells, so that a field that leaks past its end shows.
    void textReadsBackEqual()
    {
        QFETCH(QString, text);
        QFETCH(QString, field);
        const auto record = readBack({QStringLiteral("antes"), text, QStringLiteral("depois")});
        QVERIFY(record);
        QCOMPARE(*record, (QStringList{"antes", field, "depois"}));
    }

    void numbersUseTheDecimalMark_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("field");
        QTest::newRow("fraction") << 1234.5 << "1234,5";
        QTest::newRow("integer") << 12000.0 << "12000";
        QTest::newRow("negative, no guard") << -2.25 << "-2,25";
        QTest::newRow("small") << 0.001 << "0,001";
        QTest::newRow("shortest exact") << 0.1 + 0.2 << "0,30000000000000004";
        QTest::newRow("large, no exponent") << 1e20 << "100000000000000000000";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << "";
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << "";
    }

    void numbersUseTheDecimalMark()
    {
        QFETCH(double, value);
        QFETCH(QString, field);
        const auto record = readBack({value});
        QVERIFY(record);
        QCOMPARE(*record, QStringList{field});
        if (!field.isEmpty())
            QCOMPARE(QLocale(QLocale::Portuguese, QLocale::Brazil).toDouble(field), value);
    }

    void dateTimesInTheStationZone_data()
    {
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QString>("field");
        const QDateTime evening(QDate(2026, 12, 7), QTime(18, 30, 5), Qt::UTC);
        QTest::newRow("São Paulo") << evening << QByteArray("America/Sao_Paulo") << "07/12/2026 15:30:05";
        QTest::newRow("Manaus") << evening << QByteArray("America/Manaus") << "07/12/2026 14:30:05";
        QTest::newRow("next day in Tokyo") << evening << QByteArray("Asia/Tokyo") << "08/12/2026 03:30:05";
        QTest::newRow("summer time in Lisbon")
            << QDateTime(QDate(2026, 7, 1), QTime(0, 0), Qt::UTC) << QByteArray("Europe/Lisbon")
            << "01/07/2026 01:00:00";
        QTest::newRow("São Paulo's old summer time")
            << QDateTime(QDate(2018, 1, 15), QTime(12, 0), Qt::UTC) << QByteArray("America/Sao_Paulo")
            << "15/01/2018 10:00:00";
        // The test runs with TZ=America/Sao_Paulo.
        QTest::newRow("no zone: the PC's") << evening << QByteArray() << "07/12/2026 15:30:05";
        QTest::newRow("invalid time") << QDateTime() << QByteArray("America/Sao_Paulo") << "";
    }

    void dateTimesInTheStationZone()
    {
        QFETCH(QDateTime, at);
        QFETCH(QByteArray, zone);
        QFETCH(QString, field);
        CsvFormat format;
        if (!zone.isEmpty()) {
            format.zone = QTimeZone(zone);
            QVERIFY2(format.zone->isValid(), zone.constData());
        }
        const auto record = readBack({at}, format);
        QVERIFY(record);
        QCOMPARE(*record, QStringList{field});
    }

    void fileLayout_data()
    {
        QTest::addColumn<QList<CsvRow>>("rows");
        QTest::addColumn<bool>("commaFormat");
        QTest::addColumn<QByteArray>("file");
        const QList<CsvRow> table{{QStringLiteral("Produto"), QStringLiteral("Volume")},
                                  {QStringLiteral("ÁLCOOL"), 1.5},
                                  {},
                                  {CsvCell(), CsvCell()}};
        QTest::newRow("Brazilian") << table << false
                                   << QByteArray("\xEF\xBB\xBFProduto;Volume\r\n\xC3\x81LCOOL;1,5\r\n\r\n;\r\n");
        QTest::newRow("comma separated, decimal comma")
            << table << true << QByteArray("Produto,Volume\r\n\xC3\x81LCOOL,\"1,5\"\r\n\r\n,\r\n");
        QTest::newRow("no rows") << QList<CsvRow>{} << false << QByteArray("\xEF\xBB\xBF");
    }

    // BOM first, CRLF after each row, an empty row as an empty line; a number that holds the
    // separator is quoted like any other field.
    void fileLayout()
    {
        QFETCH(QList<CsvRow>, rows);
        QFETCH(bool, commaFormat);
        QFETCH(QByteArray, file);
        CsvFormat format;
        if (commaFormat) {
            format.separator = QLatin1Char(',');
            format.byteOrderMark = false;
        }
        QCOMPARE(csvFile(rows, format), file);
    }
};

QTEST_GUILESS_MAIN(TestCsvWriter)
#include "tst_csv_writer.moc"
