#include "simulator/reply_faults.h"
#include "simulator/reply_format.h"

#include <QtTest>

namespace {

SimulatedTank gasoline()
{
    SimulatedTank tank;
    tank.product = QStringLiteral("GASOLINA");
    tank.capacity = 30000;
    tank.measured = 18250;
    return tank;
}

const QDateTime Now(QDate(2024, 3, 1), QTime(6, 0));

// Whole frames, as long as the console will count them.
QList<int> frameLengths(const QList<QByteArray> &bodies)
{
    QList<int> lengths;
    for (const QByteArray &body : bodies)
        lengths << int(frameReply(body).size());
    return lengths;
}

} // namespace

class TestReplyFaults : public QObject {
    Q_OBJECT

private slots:
    // Each fault spoils what it names and leaves the rest of the reply where it was.
    void spoiled_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QList<QByteArray>>("bodies");
        QTest::addColumn<QList<QByteArray>>("spoiled");

        SimulatedStation station;
        station.ofe = 4300;
        station.tanks[1] = gasoline();
        station.tanks[2] = gasoline();
        station.sensorCount = 4;
        const QByteArray mt1 = measurementReply("MT", 1, gasoline(), Now);
        const QByteArray ma2 = measurementReply("MA", 2, gasoline(), Now);
        const QByteArray clock = clockReply("LR", Now);  // a Friday
        const QByteArray record = scheduledReply(Now.date(), {QTime(6, 0), 1, 21000}, true);
        const QByteArray id = identificationReply(station);
        const QByteArray cf = configurationReply(station);
        const QByteArray ls = sensorReply(station);
        const QByteArray error = errorReply("MT", "NH");
        const auto row = [](const char *name, ReplyFault fault, QList<QByteArray> bodies, QList<QByteArray> spoiled) {
            QTest::newRow(name) << int(fault) << bodies << spoiled;
        };

        row("measurement cut after the product", ReplyFault::Short, {mt1}, {"MT001GASOLINA   "});
        row("sensors with no sensor", ReplyFault::Short, {ls}, {"LS"});
        row("error reply cut", ReplyFault::Short, {error}, {"MTEN"});
        row("identification cut", ReplyFault::Short, {id}, {"IDA01"});
        row("measured volume overlong", ReplyFault::Long, {mt1},
            {QByteArray(mt1).replace(32, 6, "9999999999999")});
        row("sensors overlong", ReplyFault::Long, {ls}, {"LS" + QByteArray(17, '9') + ls.mid(18)});
        row("product one byte too long", ReplyFault::LongProduct, {mt1}, {QByteArray(mt1).insert(16, 'X')});
        row("tank 9 for tank 1", ReplyFault::OtherTank, {mt1}, {QByteArray(mt1).replace(2, 3, "009")});
        row("the first record of tank 000", ReplyFault::ZeroTank, {record, record},
            {QByteArray(record).replace(20, 3, "000"), record});
        row("tank -1", ReplyFault::NegativeTank, {mt1}, {QByteArray(mt1).replace(2, 3, "-01")});
        row("inventory with tank 2 as 1", ReplyFault::RepeatedTank,
            {QByteArray(mt1).replace(0, 2, "MA"), ma2}, {QByteArray(mt1).replace(0, 2, "MA"),
                                                         QByteArray(ma2).replace(2, 3, "001")});
        row("control bytes and an OSC sequence in product 1", ReplyFault::ControlBytes, {mt1},
            {QByteArray(mt1).replace(5, 11, QByteArray("GAS\0\x1b\n\x1b]0;\x07", 11))});
        row("a formula in product 2", ReplyFault::ControlBytes, {ma2}, {QByteArray(ma2).replace(5, 11, "=cmd|' /C c")});
        row("control bytes in the tank count", ReplyFault::ControlBytes, {cf},
            {QByteArray(cf).replace(2, 2, QByteArray("\0\x1b", 2))});
        row("clock at 25:61", ReplyFault::ClockTime, {clock}, {"LR256100010324" + clock.mid(14)});
        row("clock on 31/02", ReplyFault::ClockDate, {clock}, {clock.left(8) + "310224" + clock.mid(14)});
        row("clock on day 99", ReplyFault::ClockWeekday99, {clock}, {clock.left(14) + "99"});
        row("a clock fault leaves measurements alone", ReplyFault::ClockTime, {mt1}, {mt1});
        row("a tank fault leaves error replies alone", ReplyFault::OtherTank, {error}, {error});
        row("echo leaves the bodies to the session", ReplyFault::Echo, {mt1}, {mt1});
    }
    void spoiled()
    {
        QFETCH(int, fault);
        QFETCH(QList<QByteArray>, bodies);
        QFETCH(QList<QByteArray>, spoiled);
        QCOMPARE(spoiledReplies(ReplyFault(fault), bodies), spoiled);
    }

    // Every cut and overlong reply has a length no usable reply of its kind has.
    void lengthsMissed()
    {
        SimulatedStation station;
        station.tanks[1] = gasoline();
        const QList<QByteArray> bodies{identificationReply(station), configurationReply(station),
                                       clockReply("LR", Now), sensorReply(station),
                                       measurementReply("MT", 1, gasoline(), Now),
                                       scheduledReply(Now.date(), {QTime(6, 0), 1, 21000}, false),
                                       errorReply("MT", "NH")};
        QCOMPARE(frameLengths(bodies), (QList<int>{10, 16, 19, 39, 72, 26, 8}));
        // Measurements and scheduled records have an optional last character.
        const QList<QList<int>> usable{{10}, {16}, {19}, {39}, {71, 72}, {26, 27}, {8}};
        for (const ReplyFault fault : {ReplyFault::Short, ReplyFault::Long}) {
            const QList<int> lengths = frameLengths(spoiledReplies(fault, bodies));
            for (int i = 0; i < usable.size(); ++i)
                QVERIFY2(!usable.at(i).contains(lengths.at(i)), qPrintable(bodies.at(i)));
        }
    }

    // Records of a series that never ends: each with SOH, and the minutes of the day going round.
    void endlessRecords()
    {
        QCOMPARE(endlessRecord(Now.date(), 0), QByteArray("MP000000010324001000001\x01"));
        QCOMPARE(endlessRecord(Now.date(), 61), QByteArray("MP010100010324001061001\x01"));
        QCOMPARE(endlessRecord(Now.date(), 24 * 60), endlessRecord(Now.date(), 0));
    }

    void names()
    {
        for (const QString &name : replyFaultNames())
            QVERIFY2(replyFaultNamed(name), qPrintable(name));
        QCOMPARE(replyFaultNamed(QStringLiteral("wrong-tank:twice")), ReplyFault::RepeatedTank);
        QVERIFY(!replyFaultNamed(QStringLiteral("none")));
    }
};

QTEST_APPLESS_MAIN(TestReplyFaults)
#include "tst_reply_faults.moc"
