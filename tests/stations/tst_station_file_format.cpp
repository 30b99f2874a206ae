#include "stations/station_file_format.h"

#include <QtTest>

using stationfile::StationFields;

namespace {

std::string padded(const std::string &field)
{
    return field + std::string(stationfile::FieldWidth - field.size(), ' ');
}

QStringList toList(const std::vector<std::string> &items)
{
    QStringList list;
    for (const std::string &item : items)
        list << QString::fromLatin1(item.data(), qsizetype(item.size()));
    return list;
}

} // namespace

class TestStationFileFormat : public QObject
{
    Q_OBJECT

private slots:
    void readItems_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("items");

        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("one line CR LF") << QByteArray("Posto A\r\n") << QStringList{"Posto A"};
        QTest::newRow("no final newline") << QByteArray("Posto A\r\nPosto B")
                                          << QStringList{"Posto A", "Posto B"};
        QTest::newRow("blank lines are empty items")
                << QByteArray("\r\n\r\nPosto C\r\n") << QStringList{"", "", "Posto C"};
        QTest::newRow("line of spaces is one empty item") << QByteArray("     \r\nX\r\n")
                                                          << QStringList{"", "X"};
        QTest::newRow("LF and lone CR end lines") << QByteArray("A\nB\rC\r\n")
                                                  << QStringList{"A", "B", "C"};
        QTest::newRow("leading spaces skipped, trailing kept") << QByteArray("   Posto  \r\n")
                                                               << QStringList{"Posto  "};
        QTest::newRow("comma starts a further item") << QByteArray("Posto A, Posto B\r\nPosto C\r\n")
                                                     << QStringList{"Posto A", "Posto B", "Posto C"};
        QTest::newRow("comma before line end") << QByteArray("A,\r\nB\r\n")
                                               << QStringList{"A", "", "B"};
        QTest::newRow("comma at end of file") << QByteArray("A,") << QStringList{"A"};
        QTest::newRow("double quotes dropped") << QByteArray("\"Posto \"A\"\r\n")
                                               << QStringList{"Posto A"};
        QTest::newRow("NUL and tab are ordinary bytes")
                << QByteArray("\tA\0B\r\n", 6) << QStringList{QString::fromLatin1("\tA\0B", 4)};
        QTest::newRow("items keep 90 columns") << QByteArray(200, 'L') << QStringList{QString(90, u'L')};
        QTest::newRow("reading stops at 40 items") << QByteArray("x,").repeated(50)
                                                   << QStringList(40, QStringLiteral("x"));
    }
    void readItems()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, items);
        QCOMPARE(toList(stationfile::readItems(bytes.toStdString())), items);
    }

    // Where each item starts, for messages that name the line, and what lies past the 40th.
    void scanItems_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("starts");  // "line:spaces" per item
        QTest::addColumn<int>("itemsBeyond");
        QTest::newRow("one item a line") << QByteArray("A\r\n  B\r\n\r\nC") << "1:0 2:2 3:0 4:0" << 0;
        QTest::newRow("commas share a line") << QByteArray("A, B\nC") << "1:0 1:1 2:0" << 0;
        QTest::newRow("lone CR and LF") << QByteArray("A\rB\nC") << "1:0 2:0 3:0" << 0;
        QTest::newRow("blank description columns") << QByteArray(std::string(30, ' ').c_str()) + "10.0.0.1\r\n"
                                                    << "1:30" << 0;
        QTest::newRow("20 past the 40th") << QByteArray("x\r\n").repeated(60) << QString() << 20;
        QTest::newRow("empty items past the 40th are nothing") << QByteArray("x\r\n").repeated(40) + "\r\n ,\r\n"
                                                               << QString() << 0;
    }
    void scanItems()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, starts);
        QFETCH(int, itemsBeyond);
        const stationfile::ItemScan scan = stationfile::scanItems(bytes.toStdString());
        QCOMPARE(scan.starts.size(), scan.items.size());
        QCOMPARE(int(scan.itemsBeyond), itemsBeyond);
        if (starts.isNull())
            return;
        QStringList shown;
        for (const stationfile::ItemStart &start : scan.starts)
            shown << QStringLiteral("%1:%2").arg(start.line).arg(start.spaces);
        QCOMPARE(shown.join(QLatin1Char(' ')), starts);
    }

    void splitColumns_data()
    {
        QTest::addColumn<QByteArray>("item");
        QTest::addColumn<QStringList>("fields");

        QTest::newRow("columns past 90 ignored")
                << QByteArray::fromStdString(padded("A") + padded("B") + padded("C") + "extra")
                << QStringList{"A", "B", "C"};
        QTest::newRow("only spaces trimmed") << QByteArray("\tA\t" + QByteArray(27, ' ') + "  B ")
                                             << QStringList{"\tA\t", "B", ""};
    }
    void splitColumns()
    {
        QFETCH(QByteArray, item);
        QFETCH(QStringList, fields);
        const StationFields split = stationfile::splitColumns(item.toStdString());
        QCOMPARE(toList({split.description, split.host, split.port}), fields);
    }
};

QTEST_APPLESS_MAIN(TestStationFileFormat)
#include "tst_station_file_format.moc"
