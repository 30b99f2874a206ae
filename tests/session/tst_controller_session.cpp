// The controller session as programs use it: requests and what comes of them, against the
// simulator; pacing, ordering and closing, against a peer the test plays.
#include "recording_peer.h"

#include "session/controller_session.h"
#include "simulator/controller_simulator.h"
#include "simulator/default_station.h"
#include "simulator/reply_format.h"

#include <QPointer>

#include <numeric>
#include <QSignalSpy>
#include <QTest>

namespace {

const QHostAddress SimulatorAddress(QStringLiteral("127.0.0.70"));
const QHostAddress PeerAddress(QStringLiteral("127.0.0.71"));
const QHostAddress OtherPeerAddress(QStringLiteral("127.0.0.72"));
const QHostAddress NobodyAddress(QStringLiteral("127.0.0.73"));

using Outcome = SessionRequest::Outcome;

// What became of a request, kept after the request itself is gone.
struct Result {
    Outcome outcome = Outcome::Pending;
    QList<QByteArray> frames;
    QString errorCode;
    QList<ReplyProblem> problems;
    QList<int> positions;  // of each usable frame among all the replies
};

Result await(SessionRequest *request, int timeoutMs = 5000)
{
    Result result;
    bool done = false;
    QObject::connect(request, &SessionRequest::finished, [&] {
        result.outcome = request->outcome();
        result.frames = request->frames();
        result.errorCode = request->error() ? request->error()->code : QString();
        for (const RejectedReply &rejected : request->rejected())
            result.problems << rejected.problem;
        for (int i = 0; i < request->frames().size(); ++i)
            result.positions << request->replyPosition(i);
        done = true;
    });
    static_cast<void>(QTest::qWaitFor([&] { return done; }, timeoutMs));
    return result;
}

QStringList lines(const QSignalSpy &log)
{
    QStringList lines;
    for (const QList<QVariant> &arguments : log)
        lines << QString::fromLatin1(arguments.at(0).toByteArray());
    return lines;
}

} // namespace

class TestControllerSession : public QObject {
    Q_OBJECT

private slots:
    void requestsAgainstTheSimulator_data();
    void requestsAgainstTheSimulator();
    void dialogueWithAnotherAddress();
    void silentControllerTimesOut();
    void openingRepliesHaveATimeoutEach_data();
    void openingRepliesHaveATimeoutEach();
    void requestsAreSpacedInOrderWithAcksFirst();
    void queuedRequestsAreDroppedOnAChangeOfStation();
    void closingWritesId02First();
    void closingWithoutAConnectionSendsNothing_data();
    void closingWithoutAConnectionSendsNothing();
    void failuresAreReportedAtOnce();
    void requestWithoutConnection();
    void unusableReplies_data();
    void unusableReplies();
};

void TestControllerSession::requestsAgainstTheSimulator_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("offlineTank");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<int>("frames");
    QTest::addColumn<QString>("errorCode");

    QTest::newRow("clock") << QByteArray("LR") << 0 << Outcome::Replied << 1 << QString();
    QTest::newRow("one tank") << QByteArray("MT02") << 0 << Outcome::Replied << 1 << QString();
    QTest::newRow("all tanks, one reply each") << QByteArray("MA") << 0 << Outcome::Replied << 4 << QString();
    // An error reply inside the series is one of its replies, not its end.
    QTest::newRow("all tanks, one off-line") << QByteArray("MA") << 2 << Outcome::Replied << 4 << QString();
    QTest::newRow("probe off-line") << QByteArray("MT02") << 2 << Outcome::ErrorReply << 1 << QStringLiteral("OL");
    QTest::newRow("no tank number") << QByteArray("MT") << 0 << Outcome::ErrorReply << 1 << QStringLiteral("TI");
    QTest::newRow("scheduled series") << QByteArray("MP010324") << 0 << Outcome::Replied << 3 << QString();
    QTest::newRow("no scheduled measurements") << QByteArray("MP020324") << 0 << Outcome::Replied << 0
                                               << QStringLiteral("SL");
    QTest::newRow("sensors") << QByteArray("LS") << 0 << Outcome::Replied << 1 << QString();
}

void TestControllerSession::requestsAgainstTheSimulator()
{
    QFETCH(QByteArray, body);
    QFETCH(int, offlineTank);
    QFETCH(Outcome, outcome);
    QFETCH(int, frames);
    QFETCH(QString, errorCode);

    SimulatedStation station = demonstrationStation();
    if (offlineTank > 0)
        station.tanks[offlineTank].probeOnline = false;
    ControllerSimulator simulator(station);
    QVERIFY(simulator.listen(SimulatorAddress));

    ControllerSession session;
    session.connectTo(SimulatorAddress.toString());
    const Result opened = await(session.openDialogue("abc"));
    QCOMPARE(opened.outcome, Outcome::Replied);
    QCOMPARE(session.tankCount(), 4);

    const Result result = await(session.request(body));
    QCOMPARE(result.outcome, outcome);
    QCOMPARE(result.frames.size(), frames);
    QCOMPARE(result.errorCode, errorCode);
    for (const QByteArray &frame : result.frames)
        QCOMPARE(frame.mid(1, 2), body.left(2));
}

void TestControllerSession::dialogueWithAnotherAddress()
{
    SimulatedStation station = demonstrationStation();
    station.address = QStringLiteral("B02");
    ControllerSimulator simulator(station);
    QVERIFY(simulator.listen(SimulatorAddress));
    QList<QByteArray> requests;
    connect(&simulator, &ControllerSimulator::requestReceived,
            [&requests](const QString &, const QByteArray &frame) { requests << frame.mid(1, 2); });

    ControllerSession session;
    session.connectTo(SimulatorAddress.toString());
    SessionRequest *opening = session.openDialogue("abc");
    bool identified = false;
    connect(opening, &SessionRequest::finished, [&] {
        identified = opening->identification() && opening->identification()->address == QStringLiteral("B02");
    });
    QCOMPARE(await(opening).outcome, Outcome::WrongAddress);
    QVERIFY(identified);
    QTest::qWait(200);
    // No configuration request, hence no password, goes to a controller that is not "A01".
    QCOMPARE(requests, QList<QByteArray>{"ID"});
}

void TestControllerSession::silentControllerTimesOut()
{
    RecordingPeer peer(PeerAddress);
    ControllerSession session;
    session.connectTo(PeerAddress.toString());
    QVERIFY(peer.waitForClient());

    QElapsedTimer clock;
    clock.start();
    const Result result = await(session.request("LR", 300));
    QCOMPARE(result.outcome, Outcome::TimedOut);
    QVERIFY2(clock.elapsed() >= 290, qPrintable(QString::number(clock.elapsed())));

    // A series times out per reply: each frame restarts the wait.
    SessionRequest *series = session.request("MP010324", 400);
    QTRY_COMPARE(peer.bodies().size(), 2);
    for (int i = 0; i < 3; ++i) {
        QTest::qWait(250);
        peer.write(RecordingPeer::frame("MP060000010324001234001\x01"));
    }
    const Result partial = await(series);
    QCOMPARE(partial.outcome, Outcome::TimedOut);
    QCOMPARE(partial.frames.size(), 3);
}

void TestControllerSession::openingRepliesHaveATimeoutEach_data()
{
    QTest::addColumn<int>("identificationDelayMs");
    QTest::addColumn<int>("configurationDelayMs");
    QTest::addColumn<Outcome>("outcome");
    // With a timeout of 600 ms, and a pause of 300 ms before the ACK and before "CF".
    QTest::newRow("CF reply late, in its time") << 0 << 450 << Outcome::Replied;
    QTest::newRow("identification late, in its time") << 450 << 0 << Outcome::Replied;
    QTest::newRow("both late, each in its time") << 450 << 450 << Outcome::Replied;
    QTest::newRow("CF reply too late") << 0 << 900 << Outcome::TimedOut;
    QTest::newRow("identification too late") << 900 << 0 << Outcome::TimedOut;
}

void TestControllerSession::openingRepliesHaveATimeoutEach()
{
    QFETCH(int, identificationDelayMs);
    QFETCH(int, configurationDelayMs);
    QFETCH(Outcome, outcome);
    const SimulatedStation station = demonstrationStation();
    RecordingPeer peer(PeerAddress);
    peer.replyTo("ID01", frameReply(identificationReply(station)), identificationDelayMs);
    peer.replyTo("CFABC", frameReply(configurationReply(station)), configurationDelayMs);
    ControllerSession session;
    session.setPauseMs(300);
    session.connectTo(PeerAddress.toString());
    QVERIFY(peer.waitForClient());

    const Result opened = await(session.openDialogue("abc", 600));
    QCOMPARE(opened.outcome, outcome);
    const QList<QByteArray> sent = identificationDelayMs < 600 ? QList<QByteArray>{"ID01", "CFABC"}
                                                               : QList<QByteArray>{"ID01"};
    QCOMPARE(peer.bodies(), sent);
}

void TestControllerSession::requestsAreSpacedInOrderWithAcksFirst()
{
    RecordingPeer peer(PeerAddress);
    ControllerSession session;
    session.connectTo(PeerAddress.toString());
    QVERIFY(peer.waitForClient());
    QTRY_VERIFY(session.isConnected());

    // A reply that comes while requests wait is acknowledged before the next of them.
    peer.replyTo("LR", RecordingPeer::frame("LR12000007122402"));
    for (const QByteArray body : {"LR", "LS", "MT01", "LM02"})
        session.request(body);
    QTRY_COMPARE(peer.units().size(), 5);

    QList<QByteArray> order;
    for (const RecordingPeer::Unit &unit : peer.units())
        order << (unit.bytes == "\x06" ? QByteArray("ACK") : unit.bytes.mid(1, unit.bytes.size() - 3));
    QCOMPARE(order, (QList<QByteArray>{"LR", "ACK", "LS", "MT01", "LM02"}));
    for (int i = 1; i < peer.units().size(); ++i) {
        const qint64 gap = peer.units()[i].arrivedMs - peer.units()[i - 1].arrivedMs;
        // Arrival times carry the loopback's jitter, a few milliseconds at most.
        QVERIFY2(gap >= session.pauseMs() - 5, qPrintable(QStringLiteral("gap %1: %2 ms").arg(i).arg(gap)));
    }
}

void TestControllerSession::queuedRequestsAreDroppedOnAChangeOfStation()
{
    RecordingPeer first(PeerAddress);
    RecordingPeer second(OtherPeerAddress);
    ControllerSession session;
    QSignalSpy log(&session, &ControllerSession::logLine);
    session.connectTo(PeerAddress.toString());
    QVERIFY(first.waitForClient());
    QTRY_VERIFY(session.isConnected());

    session.request("LR");
    QPointer<SessionRequest> queued = session.request("LS");
    QPointer<SessionRequest> another = session.request("MA");
    Result dropped;
    connect(queued, &SessionRequest::finished, [&] { dropped.outcome = queued->outcome(); });
    QTRY_COMPARE(first.bodies().size(), 1);

    session.connectTo(OtherPeerAddress.toString());
    QCOMPARE(dropped.outcome, Outcome::Dropped);
    QVERIFY(second.waitForClient());
    QTRY_VERIFY(session.isConnected());
    QTest::qWait(300);
    QCOMPARE(first.bodies(), QList<QByteArray>{"LR"});
    QVERIFY(second.units().isEmpty());
    QCOMPARE(lines(log).filter(QStringLiteral("(conexão encerrada)")).size(), 2);
}

void TestControllerSession::closingWritesId02First()
{
    RecordingPeer peer(PeerAddress);
    ControllerSession session;
    // A long pause keeps the ACK and the requests below waiting while the dialogue is closed.
    session.setPauseMs(500);
    QSignalSpy ended(&session, &ControllerSession::dialogueEnded);
    QSignalSpy log(&session, &ControllerSession::logLine);
    session.connectTo(PeerAddress.toString());
    QVERIFY(peer.waitForClient());
    QTRY_VERIFY(session.isConnected());

    peer.replyTo("LR", RecordingPeer::frame("LR12000007122402"));
    session.request("LR");
    session.request("LS");
    QTRY_VERIFY(lines(log).filter(QStringLiteral("Recebeu: ")).size() == 1);
    session.endDialogue();
    QTRY_VERIFY(peer.clientGone());

    // The ACK the controller is owed goes out, the waiting request does not, and "ID02" is the
    // last thing written before the close.
    QList<QByteArray> order;
    for (const RecordingPeer::Unit &unit : peer.units())
        order << (unit.bytes == "\x06" ? QByteArray("ACK") : unit.bytes.mid(1, unit.bytes.size() - 3));
    QCOMPARE(order, (QList<QByteArray>{"LR", "ACK", "ID02"}));
    QCOMPARE(ended.count(), 1);
}

void TestControllerSession::closingWithoutAConnectionSendsNothing_data()
{
    QTest::addColumn<bool>("peerHungUp");
    QTest::newRow("the controller hung up") << true;
    QTest::newRow("the connection still being made") << false;
}

// "ID02" belongs to the connection it would close: with none up, nothing is written, and the
// dialogue is over at once.
void TestControllerSession::closingWithoutAConnectionSendsNothing()
{
    QFETCH(bool, peerHungUp);
    RecordingPeer peer(PeerAddress);
    ControllerSession session;
    QSignalSpy ended(&session, &ControllerSession::dialogueEnded);
    QSignalSpy log(&session, &ControllerSession::logLine);
    session.connectTo(PeerAddress.toString());
    if (peerHungUp) {
        QVERIFY(peer.waitForClient());
        QTRY_VERIFY(session.isConnected());
        peer.dropClient();
        QTRY_VERIFY(!session.isConnected());
    } else {
        QVERIFY(!session.isConnected());
    }

    session.endDialogue();
    QCOMPARE(ended.count(), 1);
    QTest::qWait(300);
    QCOMPARE(lines(log).filter(QStringLiteral("Transmitiu")), QStringList());
    QCOMPARE(lines(log).filter(QStringLiteral("Não transmitiu (sem conexão): ")).size(), 1);
    QVERIFY(!session.isConnected());
    QCOMPARE(ended.count(), 1);
}

void TestControllerSession::failuresAreReportedAtOnce()
{
    ControllerSession session;
    QSignalSpy failed(&session, &ControllerSession::connectionFailed);
    session.connectTo(NobodyAddress.toString());
    // Well before the console's once-a-second state poll.
    QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 900);

    RecordingPeer peer(PeerAddress);
    QSignalSpy closed(&session, &ControllerSession::peerClosed);
    session.connectTo(PeerAddress.toString());
    QVERIFY(peer.waitForClient());
    QTRY_VERIFY(session.isConnected());
    SessionRequest *waiting = session.request("LR");
    QTRY_COMPARE(peer.bodies().size(), 1);
    Result lost;
    connect(waiting, &SessionRequest::finished, [&] { lost.outcome = waiting->outcome(); });
    peer.dropClient();
    QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, 900);
    QCOMPARE(lost.outcome, Outcome::ConnectionLost);
}

void TestControllerSession::requestWithoutConnection()
{
    ControllerSession session;
    QSignalSpy log(&session, &ControllerSession::logLine);
    const Result result = await(session.request("LR"));
    QCOMPARE(result.outcome, Outcome::NotConnected);
    QCOMPARE(lines(log).size(), 1);
    QVERIFY(lines(log).first().startsWith(QStringLiteral("Não transmitiu (sem conexão): ")));
}

Q_DECLARE_METATYPE(QList<ReplyProblem>)

namespace {

QByteArray measurementFrame(const QByteArray &code, const QByteArray &tank)
{
    return RecordingPeer::frame(code + tank + "GASOLINA   0.00120.74030000018250011750018130001420101500071226 ");
}

QByteArray scheduledSeries(int records)
{
    QByteArray frames;
    for (int n = 1; n <= records; ++n)
        frames += RecordingPeer::frame("MP060000010324" + QByteArray::number(n).rightJustified(6, '0') + "001\x01");
    return frames;
}

} // namespace

void TestControllerSession::unusableReplies_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("replies");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QList<int>>("positions");
    QTest::addColumn<QList<ReplyProblem>>("problems");

    using P = ReplyProblem;
    QTest::newRow("MT for another tank") << QByteArray("MT01") << measurementFrame("MT", "009") << Outcome::Unusable
                                         << QList<int>{} << QList<P>{P::TankNotAsked};
    QTest::newRow("echo ends the wait at once") << QByteArray("MT01") << RecordingPeer::frame("MT01") << Outcome::Unusable
                                                << QList<int>{} << QList<P>{P::Echo};
    // Three configured tanks: tank 1, tank 1 again, and tank 3's error reply, which names its tank by its place.
    QTest::newRow("MA with a tank twice")
        << QByteArray("MA") << measurementFrame("MA", "001") + measurementFrame("MA", "001") + RecordingPeer::frame("MAEOL")
        << Outcome::Unusable << QList<int>{0, 2} << QList<P>{P::TankRepeated};
    QTest::newRow("MA of wrong lengths") << QByteArray("MA")
                                         << RecordingPeer::frame("MA001GAS") + measurementFrame("MA", "002")
                                                + RecordingPeer::frame("MAEOLX")
                                         << Outcome::Unusable << QList<int>{1} << QList<P>{P::WrongLength, P::WrongLength};
    QTest::newRow("MA whole") << QByteArray("MA")
                              << measurementFrame("MA", "001") + measurementFrame("MA", "002") + measurementFrame("MA", "003")
                              << Outcome::Replied << QList<int>{0, 1, 2} << QList<P>{};
    QList<int> kept(101);
    std::iota(kept.begin(), kept.end(), 0);
    QTest::newRow("endless scheduled series") << QByteArray("MP010324") << scheduledSeries(102) << Outcome::Unusable
                                              << kept << QList<P>{P::TooManyRecords};
    QTest::newRow("impossible clock") << QByteArray("LR") << RecordingPeer::frame("LR25610007122602") << Outcome::Unusable
                                      << QList<int>{} << QList<P>{P::ImpossibleClock};
}

void TestControllerSession::unusableReplies()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, replies);
    QFETCH(Outcome, outcome);
    QFETCH(QList<int>, positions);
    QFETCH(QList<ReplyProblem>, problems);

    RecordingPeer peer(PeerAddress);
    ControllerSession session;
    QSignalSpy rejected(&session, &ControllerSession::replyRejected);
    QSignalSpy log(&session, &ControllerSession::logLine);
    QList<QByteArray> typed;
    connect(&session, &ControllerSession::measurementRead, [&](const MeasurementReading &r) { typed << r.tank.toLatin1(); });
    connect(&session, &ControllerSession::clockRead, [&](const ClockReading &r) { typed << r.time.toLatin1(); });
    int scheduledRecords = 0;
    connect(&session, &ControllerSession::scheduledRead, [&] { ++scheduledRecords; });
    session.connectTo(PeerAddress.toString());
    QVERIFY(peer.waitForClient());
    peer.write(RecordingPeer::frame("CF03000123102"));
    QTRY_COMPARE(session.tankCount(), 3);

    peer.replyTo(request, replies);
    QElapsedTimer clock;
    clock.start();
    const Result result = await(session.request(request, 3000));
    QCOMPARE(result.outcome, outcome);
    // Every row is settled by its replies, never by waiting them out.
    QVERIFY2(clock.elapsed() < 2500, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(result.positions, positions);
    QCOMPARE(result.problems, problems);
    QCOMPARE(rejected.count(), problems.size());
    const QStringList logged = lines(log);
    const int invalidLines = int(std::count_if(logged.cbegin(), logged.cend(), [](const QString &line) {
        return line.startsWith(QStringLiteral("Resposta inv"));
    }));
    QCOMPARE(invalidLines, problems.size());
    // Nothing unusable reached a typed signal: only the usable replies did.
    const int usable = int(positions.size() - std::count_if(result.frames.cbegin(), result.frames.cend(),
                                                            [](const QByteArray &f) { return f.at(3) == 'E'; }));
    QCOMPARE(typed.size() + scheduledRecords, usable);

    // The session goes on with the next request.
    peer.replyTo("LS", RecordingPeer::frame("LS" + QByteArray(16, '2') + "A" + QByteArray(16, '0') + "I"));
    QCOMPARE(await(session.request("LS")).outcome, Outcome::Replied);
}

QTEST_MAIN(TestControllerSession)
#include "tst_controller_session.moc"
