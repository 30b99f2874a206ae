// Which replies the session refuses to read, and why: every family at its exact length, one byte
// short or long, and the fields a length check cannot see (tanks, clocks, counts, echoes).
#include "session/reply_check.h"

#include "protocol/control_codes.h"
#include "protocol/frame.h"

#include <QTest>

namespace {

QByteArray framed(const QByteArray &body)
{
    return QByteArray::fromStdString(zelta::frameRequest(std::string_view(body.constData(), std::size_t(body.size()))));
}

QByteArray measurement(const QByteArray &code, const QByteArray &tank, const QByteArray &trailer = " ")
{
    return framed(code + tank + "GASOLINA   " + "0.0012" + "0.74" + "030000" + "018250" + "011750" + "018130"
                  + "001420" + "101500" + "071226" + trailer);
}

QByteArray clock(const QByteArray &time, const QByteArray &date, const QByteArray &day)
{
    return framed("LR" + time + date + day);
}

QByteArray scheduled(const QByteArray &tank, bool more)
{
    return framed("MP" "060000" "010324" "021000" + tank + (more ? QByteArray(1, zelta::SOH) : QByteArray()));
}

const QByteArray Sensors = "LS" + QByteArray(16, '2') + "A" + QByteArray(16, '0') + "I";

} // namespace

Q_DECLARE_METATYPE(std::optional<ReplyProblem>)

class TestReplyCheck : public QObject {
    Q_OBJECT

private slots:
    void replies_data();
    void replies();
    void textsNeverQuoteAPassword();
};

void TestReplyCheck::replies_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("awaiting");
    QTest::addColumn<int>("configuredTanks");
    QTest::addColumn<QList<int>>("tanksAnswered");
    QTest::addColumn<int>("recordsReceived");
    QTest::addColumn<std::optional<ReplyProblem>>("problem");

    using P = ReplyProblem;
    const std::optional<P> usable;
    const QList<int> none;
    const auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };

    // Every family at its own length is read; a byte less or more puts its fields elsewhere.
    const QList<std::pair<const char *, QByteArray>> bodies{
        {"ID", "IDA0130"}, {"CF", "CF04000123102"}, {"LR", "LR101500071226" "02"}, {"AR", "AR101500071226" "02"},
        {"LS", Sensors},   {"error", "MTETI"},
    };
    for (const auto &[name, body] : bodies) {
        row(qPrintable(QStringLiteral("%1 whole").arg(QLatin1String(name)))) << framed(body) << QByteArray() << 0 << none << 0 << usable;
        row(qPrintable(QStringLiteral("%1 one byte short").arg(QLatin1String(name))))
            << framed(body.chopped(1)) << QByteArray() << 0 << none << 0 << std::optional<P>(P::WrongLength);
        row(qPrintable(QStringLiteral("%1 one byte long").arg(QLatin1String(name))))
            << framed(body + "0") << QByteArray() << 0 << none << 0 << std::optional<P>(P::WrongLength);
    }
    row("bare LS") << framed("LS") << QByteArray("LS") << 0 << none << 0 << std::optional<P>(P::WrongLength);
    row("measurement with weight mark") << measurement("MT", "003", "P") << QByteArray("MT03") << 0 << none << 0 << usable;
    row("measurement without position 70") << measurement("MT", "003", "") << QByteArray("MT03") << 0 << none << 0 << usable;
    row("measurement one byte long") << measurement("MT", "003", "P ") << QByteArray("MT03") << 0 << none << 0
                                     << std::optional<P>(P::WrongLength);
    row("measured field overlong") << framed("MT003GASOLINA   0.00120.740300009999999999999011750018130001420101500071226 ")
                                   << QByteArray("MT03") << 0 << none << 0 << std::optional<P>(P::WrongLength);
    row("cut by an ETX in the product") << framed("MT003GAS") << QByteArray("MT03") << 0 << none << 0
                                        << std::optional<P>(P::WrongLength);
    row("scheduled, last") << scheduled("001", false) << QByteArray("MP010324") << 0 << none << 0 << usable;
    row("scheduled, more follow") << scheduled("001", true) << QByteArray("MP010324") << 0 << none << 100 << usable;
    row("scheduled one byte long") << framed("MP" "060000" "010324" "021000" "001" "\x01" "0") << QByteArray("MP010324")
                                   << 0 << none << 0 << std::optional<P>(P::WrongLength);

    // Tanks: the one asked for, or each configured one once.
    row("MT answered for its tank") << measurement("MT", "001") << QByteArray("MT01") << 4 << none << 0 << usable;
    row("MT answered for tank 9") << measurement("MT", "009") << QByteArray("MT01") << 4 << none << 0
                                  << std::optional<P>(P::TankNotAsked);
    row("LM answered for tank 2") << measurement("LM", "002") << QByteArray("LM03") << 4 << none << 0
                                  << std::optional<P>(P::TankNotAsked);
    row("MA within the configuration") << measurement("MA", "004") << QByteArray("MA") << 4 << QList<int>{1, 2, 3} << 0 << usable;
    row("MA beyond the configuration") << measurement("MA", "009") << QByteArray("MA") << 4 << none << 0
                                       << std::optional<P>(P::TankNotAsked);
    row("MA tank twice") << measurement("MA", "002") << QByteArray("MA") << 4 << QList<int>{1, 2} << 0
                         << std::optional<P>(P::TankRepeated);
    row("tank 000") << measurement("MA", "000") << QByteArray("MA") << 4 << none << 0 << std::optional<P>(P::BadTankNumber);
    row("tank -1") << measurement("MT", "-1 ") << QByteArray("MT01") << 4 << none << 0 << std::optional<P>(P::BadTankNumber);
    row("tank in blanks") << measurement("MT", " 1 ") << QByteArray("MT01") << 4 << none << 0
                          << std::optional<P>(P::BadTankNumber);
    row("late MT, nobody waiting") << measurement("MT", "017") << QByteArray() << 4 << none << 0 << usable;
    row("scheduled tank 000") << scheduled("000", false) << QByteArray("MP010324") << 0 << none << 0
                              << std::optional<P>(P::BadTankNumber);

    // Scheduled series: asked for, and no longer than a controller keeps.
    row("scheduled nobody asked for") << scheduled("001", true) << QByteArray() << 0 << none << 0 << std::optional<P>(P::NotAsked);
    row("102nd scheduled record") << scheduled("001", true) << QByteArray("MP010324") << 0 << none << 101
                                  << std::optional<P>(P::TooManyRecords);

    // Clocks that cannot be.
    row("25:61") << clock("256100", "071226", "02") << QByteArray("LR") << 0 << none << 0 << std::optional<P>(P::ImpossibleClock);
    row("31 February") << clock("101500", "310226", "02") << QByteArray("LR") << 0 << none << 0
                       << std::optional<P>(P::ImpossibleClock);
    row("00/00") << clock("101500", "000026", "02") << QByteArray("LR") << 0 << none << 0 << std::optional<P>(P::ImpossibleClock);
    row("day of week 0") << clock("101500", "071226", "00") << QByteArray("LR") << 0 << none << 0
                         << std::optional<P>(P::ImpossibleClock);
    row("day of week 99") << clock("101500", "071226", "99") << QByteArray("LR") << 0 << none << 0
                          << std::optional<P>(P::ImpossibleClock);
    row("29 February 2024, Saturday") << clock("235959", "290224", "07") << QByteArray("LR") << 0 << none << 0 << usable;
    row("set clock to 24:00") << framed("AR240000071226" "02") << QByteArray("ARabc") << 0 << none << 0
                              << std::optional<P>(P::ImpossibleClock);

    // Configuration counts and number.
    row("CF with letters for tanks") << framed("CFTOPSECRET42") << QByteArray("CFabc") << 0 << none << 0
                                     << std::optional<P>(P::BadConfiguration);
    row("CF with a letter in the OFE number") << framed("CF040001X3102") << QByteArray("CFabc") << 0 << none << 0
                                              << std::optional<P>(P::BadConfiguration);
    row("CF with blanks before the OFE number") << framed("CF04   123102") << QByteArray("CFabc") << 0 << none << 0 << usable;
    row("CF with 20 tanks and 40 sensors") << framed("CF20000001240") << QByteArray("CFabc") << 0 << none << 0 << usable;
}

void TestReplyCheck::replies()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, awaiting);
    QFETCH(int, configuredTanks);
    QFETCH(QList<int>, tanksAnswered);
    QFETCH(int, recordsReceived);
    QFETCH(std::optional<ReplyProblem>, problem);

    ReplyContext context;
    context.awaitingBody = awaiting;
    context.configuredTanks = configuredTanks;
    context.tanksAnswered = tanksAnswered;
    context.recordsReceived = recordsReceived;
    QCOMPARE(checkReply(frame, context), problem);

    // The same bytes sent back as the request they were are an echo, whatever they look like.
    context.lastTransmitted = frame;
    QCOMPARE(checkReply(frame, context), std::optional<ReplyProblem>(ReplyProblem::Echo));
}

void TestReplyCheck::textsNeverQuoteAPassword()
{
    const QByteArray secret = "TOPSECRET42";
    for (const ReplyProblem problem : {ReplyProblem::WrongLength, ReplyProblem::Echo, ReplyProblem::BadConfiguration}) {
        for (const QByteArray &frame : {framed("CF" + secret), framed("AR" + secret + "1101500071226")}) {
            const QString text = rejectionText({frame, problem, 0});
            QVERIFY2(!text.contains(QLatin1String("SECRET")), qPrintable(text));
            QVERIFY(!text.isEmpty());
        }
    }
}

QTEST_MAIN(TestReplyCheck)
#include "tst_reply_check.moc"
