#include "reports/inventory_totals.h"
#include "report_test_support.h"

#include <QTest>

namespace {

QStringList totalsAsText(const std::vector<ProductTotal> &totals)
{
    QStringList rows;
    for (const ProductTotal &t : totals)
        rows << t.Produto + '|' + t.VolMed + '|' + t.VolCpl;
    return rows;
}

} // namespace

class InventoryTotalsTest : public QObject
{
    Q_OBJECT

private slots:
    void tanksInInventory_data()
    {
        QTest::addColumn<double>("Num_Tanques");
        QTest::addColumn<int>("tanks");

        QTest::newRow("four") << 4.0 << 4;
        QTest::newRow("fraction dropped") << 3.7 << 3;
        QTest::newRow("seventeen cut to the window's sixteen") << 17.0 << 16;
        QTest::newRow("huge") << 1e300 << 16;
        QTest::newRow("infinite") << qInf() << 16;
    }

    void tanksInInventory()
    {
        QFETCH(double, Num_Tanques);
        QFETCH(int, tanks);
        QCOMPARE(::tanksInInventory(declaredTankCount(Num_Tanques)), tanks);
    }

    void productTotals_data()
    {
        QTest::addColumn<QStringList>("readings");
        QTest::addColumn<int>("tanks");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QStringList>("totals");

        QTest::newRow("case makes another product")
                << QStringList{"1;100;10;Diesel", "2;200;20;DIESEL"} << 2 << QChar('.')
                << QStringList{"Diesel|100|10", "DIESEL|200|20"};
        QTest::newRow("empty product, tank without reading not totalled")
                << QStringList{"1;100;10;", "", "3;5;1;"} << 3 << QChar('.') << QStringList{"|105|11"};
        QTest::newRow("blank tank number not totalled")
                << QStringList{"1;100;10;A", "  ;7;7;A"} << 2 << QChar('.') << QStringList{"A|100|10"};
        QTest::newRow("complementary kept in single precision")
                << QStringList{"1;8388608;8388608;A", "2;0.4;0.4;A", "3;0.4;0.4;A", "4;0.4;0.4;A",
                               "5;0.4;0.4;A"}
                << 5 << QChar('.') << QStringList{"A|8388609.6|8388608"};
        QTest::newRow("no binary noise in the text")
                << QStringList{"1;0.1;0.1;A", "2;0.2;0.2;A"} << 2 << QChar('.') << QStringList{"A|0.3|0.3"};
        QTest::newRow("operator's decimal comma")
                << QStringList{"1;1000.5;0.25;A"} << 1 << QChar(',') << QStringList{"A|1000,5|0,25"};
        QTest::newRow("numbers read by their leading digits")
                << QStringList{"1;12,5;S/Inf.;A", "2; 1 0;;A"} << 2 << QChar('.') << QStringList{"A|22|0"};
        QStringList sixteenTanks, sixteenTotals;
        for (int tank = 1; tank <= 16; ++tank) {
            sixteenTanks << QStringLiteral("%1;%2;1;P%1").arg(tank).arg(tank * 10);
            sixteenTotals << QStringLiteral("P%1|%2|1").arg(tank).arg(tank * 10);
        }
        QTest::newRow("count past the table stops at sixteen") << sixteenTanks << 99 << QChar('.')
                                                               << sixteenTotals;
    }

    void productTotals()
    {
        QFETCH(QStringList, readings);
        QFETCH(int, tanks);
        QFETCH(QChar, separator);
        QFETCH(QStringList, totals);
        const auto actual = ::productTotals(::leituraRows(tankTable(readings), tanks), tanks, separator);
        QCOMPARE(totalsAsText(actual), totals);
    }

    void plainDecimal_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("text");

        QTest::newRow("small, no exponent") << 1.5e-7 << 15 << "0.00000015";
        QTest::newRow("large, no exponent") << 1e20 << 15 << "100000000000000000000";
        QTest::newRow("negative") << -2.25 << 15 << "-2.25";
        QTest::newRow("negative zero") << -0.0 << 15 << "0";
        QTest::newRow("seven significant digits") << 123456789.0 << 7 << "123456800";
        QTest::newRow("rounding carries") << 9.9999999 << 7 << "10";
    }

    void plainDecimal()
    {
        QFETCH(double, value);
        QFETCH(int, digits);
        QFETCH(QString, text);
        QCOMPARE(::plainDecimal(value, digits, QChar('.')), text);
    }
};

QTEST_GUILESS_MAIN(InventoryTotalsTest)
#include "tst_inventory_totals.moc"
