#include "simulator/field_format.h"

#include <QtTest>

class TestFieldFormat : public QObject {
    Q_OBJECT

private slots:
    void fields_data()
    {
        QTest::addColumn<QByteArray>("formatted");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("volume too wide") << zeroPadded(1234567, 6) << QByteArray("999999");
        QTest::newRow("negative volume") << zeroPadded(-5, 6) << QByteArray("000000");
        QTest::newRow("density rounded") << rightAlignedDecimal(0.746, 4, 2) << QByteArray("0.75");
        QTest::newRow("density rounding past the field") << rightAlignedDecimal(9.996, 4, 2) << QByteArray("9.99");
        QTest::newRow("density too large") << rightAlignedDecimal(740, 4, 2) << QByteArray("9.99");
        QTest::newRow("negative density") << rightAlignedDecimal(-1, 4, 2) << QByteArray("0.00");
    }
    void fields()
    {
        QFETCH(QByteArray, formatted);
        QFETCH(QByteArray, expected);
        QCOMPARE(formatted, expected);
    }
};

QTEST_APPLESS_MAIN(TestFieldFormat)
#include "tst_field_format.moc"
