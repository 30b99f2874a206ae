#include "bytes.h"
#include "protocol/numeric_text.h"
#include "protocol/text_fields.h"

#include <QtTest>

#include <climits>
#include <cmath>

using namespace zelta;

class TestNumericText : public QObject {
    Q_OBJECT

private slots:
    void leadingNumber_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("empty") << QByteArray() << 0.0;
        QTest::newRow("no information") << QByteArray("S/Inf.") << 0.0;
        QTest::newRow("blank inside") << QByteArray("1 2") << 12.0;
        QTest::newRow("tabs and line feeds") << QByteArray(" \t\n4\t2\n") << 42.0;
        QTest::newRow("carriage return ends") << QByteArray("4\r2") << 4.0;
        QTest::newRow("comma ends") << QByteArray("12,5") << 12.0;
        QTest::newRow("second point ends") << QByteArray("1.2.3") << 1.2;
        QTest::newRow("leading blank, point first") << QByteArray(" .7") << 0.7;
        QTest::newRow("blank after minus") << QByteArray("- 3") << -3.0;
        QTest::newRow("plus") << QByteArray("+7x") << 7.0;
        QTest::newRow("two signs") << QByteArray("+-1") << 0.0;
        QTest::newRow("exponent with blanks") << QByteArray("2.5 e-2") << 0.025;
        QTest::newRow("exponent without digits") << QByteArray("3E+x") << 3.0;
        QTest::newRow("huge exponent") << QByteArray("-1e99999999999999999999") << -HUGE_VAL;
        QTest::newRow("tiny") << QByteArray("1e-400") << 0.0;
        QTest::newRow("long mantissa, cancelling exponent") << "1" + QByteArray(400, '0') + "e-400" << 1.0;
    }
    void leadingNumber()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        QCOMPARE(zelta::leadingNumber(text.toStdString()), value);
    }

    void roundHalfEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("rounded");
        QTest::newRow("half to even below") << 2.5 << 2;
        QTest::newRow("half to even above") << 1.5 << 2;
        QTest::newRow("negative half") << -1.5 << -2;
        QTest::newRow("just above half") << 2.5001 << 3;
        QTest::newRow("not a number") << std::nan("") << 0;
        QTest::newRow("too large") << 1e20 << INT_MAX;
        QTest::newRow("minus infinity") << -HUGE_VAL << INT_MIN;
    }
    void roundHalfEven()
    {
        QFETCH(double, value);
        QFETCH(int, rounded);
        QCOMPARE(zelta::roundHalfEven(value), rounded);
    }

    void percentPattern_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<char>("separator");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("whole, comma") << 75.0 << ',' << QByteArray("75,");
        QTest::newRow("whole, point") << 75.0 << '.' << QByteArray("75.");
        QTest::newRow("two thirds") << 200.0 / 3 << ',' << QByteArray("66,67");
        QTest::newRow("zero") << 0.0 << '.' << QByteArray("0.");
        QTest::newRow("half") << 0.5 << '.' << QByteArray("0.5");
        QTest::newRow("negative whole") << -5.0 << '.' << QByteArray("-5.");
        QTest::newRow("negative, rounds to zero") << -0.001 << '.' << QByteArray("0.");
        QTest::newRow("half away from zero") << -0.125 << '.' << QByteArray("-0.13");
        QTest::newRow("decimal half, binary value just below") << 1.005 << '.' << QByteArray("1.01");
        QTest::newRow("carry into the integer") << 99.996 << ',' << QByteArray("100,");
        QTest::newRow("not a number") << std::nan("") << '.' << QByteArray();
        QTest::newRow("infinity") << HUGE_VAL << ',' << QByteArray();
    }
    void percentPattern()
    {
        QFETCH(double, value);
        QFETCH(char, separator);
        QFETCH(QByteArray, text);
        QCOMPARE(bytes(formatPercentPattern(value, separator)), text);
    }

    void trimSpaces_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("trimmed");
        QTest::newRow("both ends, tabs kept") << QByteArray("  \ta b  ") << QByteArray("\ta b");
        QTest::newRow("only spaces") << QByteArray("   ") << QByteArray();
    }
    void trimSpaces()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, trimmed);
        QCOMPARE(bytes(zelta::trimSpaces(text.toStdString())), trimmed);
    }

    void field_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("inside") << 2 << 2 << QByteArray("BC");
        QTest::newRow("running past the end") << 5 << 4 << QByteArray("EF");
        QTest::newRow("past the end") << 7 << 1 << QByteArray();
        QTest::newRow("position zero") << 0 << 2 << QByteArray();
    }
    void field()
    {
        QFETCH(int, position);
        QFETCH(int, width);
        QFETCH(QByteArray, text);
        QCOMPARE(bytes(zelta::field("ABCDEF", std::size_t(position), std::size_t(width))), text);
    }

    void splits_data()
    {
        QTest::addColumn<QByteArray>("sixChars");
        QTest::addColumn<QByteArray>("date");
        QTest::addColumn<QByteArray>("time");
        QTest::newRow("six digits") << QByteArray("251224") << QByteArray("25/12/24") << QByteArray("25:12:24");
        QTest::newRow("two characters") << QByteArray("12") << QByteArray("12//") << QByteArray("12::");
        QTest::newRow("five characters") << QByteArray("12345") << QByteArray("12/34/5") << QByteArray("12:34:5");
        QTest::newRow("empty") << QByteArray() << QByteArray("//") << QByteArray("::");
    }
    void splits()
    {
        QFETCH(QByteArray, sixChars);
        QFETCH(QByteArray, date);
        QFETCH(QByteArray, time);
        QCOMPARE(bytes(splitDate(sixChars.toStdString())), date);
        QCOMPARE(bytes(splitTime(sixChars.toStdString())), time);
    }
};

QTEST_APPLESS_MAIN(TestNumericText)
#include "tst_numeric_text.moc"
