#include "bytes.h"
#include "protocol/frame.h"
#include "protocol/requests.h"

#include <QtTest>

using namespace zelta;

namespace {

ClockStamp stamp(int weekday, int hour, int minute, int second, int day, int month, int year)
{
    ClockStamp s;
    s.weekday = weekday;
    s.hour = hour;
    s.minute = minute;
    s.second = second;
    s.day = day;
    s.month = month;
    s.year = year;
    return s;
}

QList<int> fieldsOf(const ClockStamp &s)
{
    return {s.weekday, s.hour, s.minute, s.second, s.day, s.month, s.year};
}

} // namespace

class TestRequests : public QObject {
    Q_OBJECT

private slots:
    void bodies_data()
    {
        QTest::addColumn<QByteArray>("built");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("no tank chosen") << bytes(measureTankBody("")) << QByteArray("MT");
        QTest::newRow("first tank") << bytes(readMemoryBody(tankNumberText(0))) << QByteArray("LM01");
        QTest::newRow("tenth tank") << bytes(measureTankBody(tankNumberText(9))) << QByteArray("MT10");
        QTest::newRow("date with a blank") << bytes(scheduledBody(" 251224")) << QByteArray("MP 251224");
        QTest::newRow("password upper-cased on the wire")
            << bytes(frameRequest(configurationBody("ab"))) << hex("02434641420305");
        QTest::newRow("four-character password") << bytes(clockSettingBody("abcd", stamp(4, 9, 5, 7, 3, 2, 2024)))
                                                 << QByteArray("ARabcd4090507030224");
        QTest::newRow("turn of the century") << bytes(clockSettingBody("", stamp(7, 23, 59, 59, 31, 12, 2000)))
                                             << QByteArray("AR7235959311200");
        QTest::newRow("out-of-range hour keeps the width")
            << bytes(clockSettingBody("X", stamp(1, 123, 0, 0, 1, 1, 2105))) << QByteArray("ARX1230000010105");
    }
    void bodies()
    {
        QFETCH(QByteArray, built);
        QFETCH(QByteArray, expected);
        QCOMPARE(built.toHex(), expected.toHex());
    }

    void requestFrame_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QByteArray>("argument");
        QTest::newRow("read clock") << hex("024C52031D") << QByteArray("LR") << QByteArray();
        QTest::newRow("open dialogue") << hex("0249443031030F") << QByteArray("ID") << QByteArray("01");
        QTest::newRow("wrong check byte") << hex("024C52031E") << QByteArray() << QByteArray();
        QTest::newRow("no STX") << hex("4C4C52031D") << QByteArray() << QByteArray();
        QTest::newRow("ETX not next-to-last") << hex("024C52031D00") << QByteArray() << QByteArray();
        QTest::newRow("one-character body") << hex("024C034F") << QByteArray() << QByteArray();
        QTest::newRow("keep-alive") << hex("FFF1") << QByteArray() << QByteArray();
    }
    void requestFrame()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, code);
        QFETCH(QByteArray, argument);
        const std::optional<Request> request = parseRequestFrame(frame.toStdString());
        QCOMPARE(request.has_value(), !code.isEmpty());
        if (request)
            QCOMPARE(bytes(request->code + "|" + request->argument), code + "|" + argument);
    }

    void clockArgument_data()
    {
        QTest::addColumn<QByteArray>("argument");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QList<int>>("fields");
        const QList<int> invalid;
        QTest::newRow("password") << QByteArray("ABCD4090507030224") << QByteArray("ABCD")
                                  << QList<int>{4, 9, 5, 7, 3, 2, 24};
        QTest::newRow("password ending in digits") << QByteArray("PW121235959311299") << QByteArray("PW12")
                                                   << QList<int>{1, 23, 59, 59, 31, 12, 99};
        QTest::newRow("leap day") << QByteArray("7000000290224") << QByteArray() << QList<int>{7, 0, 0, 0, 29, 2, 24};
        QTest::newRow("too short") << QByteArray("409050703022") << QByteArray() << invalid;
        QTest::newRow("letter among digits") << QByteArray("40905X7030224") << QByteArray() << invalid;
        QTest::newRow("weekday 8") << QByteArray("8090507030224") << QByteArray() << invalid;
        QTest::newRow("hour 24") << QByteArray("4240507030224") << QByteArray() << invalid;
        QTest::newRow("second 60") << QByteArray("4090560030224") << QByteArray() << invalid;
        QTest::newRow("day 0") << QByteArray("4090507000224") << QByteArray() << invalid;
        QTest::newRow("month 13") << QByteArray("4090507031324") << QByteArray() << invalid;
        QTest::newRow("29 February, common year") << QByteArray("4090507290223") << QByteArray() << invalid;
        QTest::newRow("31 April") << QByteArray("4090507310424") << QByteArray() << invalid;
    }
    void clockArgument()
    {
        QFETCH(QByteArray, argument);
        QFETCH(QByteArray, password);
        QFETCH(QList<int>, fields);
        const std::optional<ClockSetting> setting = parseClockSetting(argument.toStdString());
        QCOMPARE(setting.has_value(), !fields.isEmpty());
        if (setting) {
            QCOMPARE(bytes(setting->password), password);
            QCOMPARE(fieldsOf(setting->stamp), fields);
        }
    }

    void clockSettingSurvivesTheWire()
    {
        const std::string frame = frameRequest(clockSettingBody("senha", stamp(6, 18, 42, 9, 28, 2, 2031)));
        const std::optional<Request> request = parseRequestFrame(frame);
        QVERIFY(request && request->code == "AR");
        const std::optional<ClockSetting> setting = parseClockSetting(request->argument);
        QVERIFY(setting);
        QCOMPARE(bytes(setting->password), QByteArray("SENHA"));
        QCOMPARE(fieldsOf(setting->stamp), (QList<int>{6, 18, 42, 9, 28, 2, 31}));
    }
};

QTEST_APPLESS_MAIN(TestRequests)
#include "tst_requests.moc"
