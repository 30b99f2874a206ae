#include "tables/fill_level.h"

#include <QTest>

class FillLevelTest : public QObject
{
    Q_OBJECT

private slots:
    void fillLevel_data()
    {
        QTest::addColumn<double>("measured");
        QTest::addColumn<double>("complementary");
        QTest::addColumn<double>("tankHeight");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("percentText");
        QTest::addColumn<double>("cover");

        // The console's measurement panel draws a 1335-twip tank, the inventory panels 855.
        QTest::newRow("three quarters, point") << 3000.0 << 1000.0 << 1335.0 << QChar('.') << "75.%" << 333.75;
        QTest::newRow("two thirds, point keeps decimals")
                << 2000.0 << 1000.0 << 1335.0 << QChar('.') << "66.67%" << 444.9555;
        QTest::newRow("two thirds, comma drops decimals")
                << 2000.0 << 1000.0 << 1335.0 << QChar(',') << "66,67%" << 453.9;
        QTest::newRow("separator outside Latin-1 ends the number")
                << 2000.0 << 1000.0 << 855.0 << QChar(0x066B) << QString::fromUtf8("66٫67%") << 290.7;
        QTest::newRow("inventory panel") << 750.0 << 250.0 << 855.0 << QChar(',') << "75,%" << 213.75;
        QTest::newRow("empty tank") << 0.0 << 500.0 << 855.0 << QChar(',') << "0,%" << 855.0;
        QTest::newRow("full tank") << 500.0 << 0.0 << 855.0 << QChar('.') << "100.%" << 0.0;
        QTest::newRow("no volume at all") << 0.0 << 0.0 << 855.0 << QChar(',') << "" << 855.0;
        QTest::newRow("volumes cancelling out") << 500.0 << -500.0 << 1335.0 << QChar('.') << "" << 1335.0;
        QTest::newRow("below zero drawn empty") << -100.0 << 200.0 << 855.0 << QChar('.') << "-100.%" << 855.0;
        QTest::newRow("above a hundred drawn full") << 300.0 << -100.0 << 855.0 << QChar('.') << "150.%" << 0.0;
    }

    void fillLevel()
    {
        QFETCH(double, measured);
        QFETCH(double, complementary);
        QFETCH(double, tankHeight);
        QFETCH(QChar, separator);
        QFETCH(QString, percentText);
        QFETCH(double, cover);

        const FillLevel level = ::fillLevel(measured, complementary, tankHeight, separator);
        QCOMPARE(level.percentText, percentText);
        QCOMPARE(level.coverTwips, cover);
    }
};

QTEST_GUILESS_MAIN(FillLevelTest)
#include "tst_fill_level.moc"
