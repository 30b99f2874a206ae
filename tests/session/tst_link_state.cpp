// What the session says of its link and of its requests: the link states it goes through, as the
// console shows them, and the Portuguese reason the programs print for each way a request ends.
#include "recording_peer.h"

#include "session/controller_session.h"

#include <QMetaEnum>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>
#include <vector>

namespace {

const QHostAddress PeerAddress(QStringLiteral("127.0.0.241"));
const QHostAddress NobodyAddress(QStringLiteral("127.0.0.242"));
const QHostAddress BusyAddress(QStringLiteral("127.0.0.243"));

using LinkState = ControllerSession::LinkState;
using States = QStringList;  // enumerator names, for a readable failure

enum class Ending { ClosedHere, ClosedByController, Refused, NotConnectedInTime };

States states(const QSignalSpy &spy)
{
    States seen;
    for (const QList<QVariant> &arguments : spy)
        seen << QString::fromLatin1(QMetaEnum::fromType<LinkState>().valueToKey(int(arguments.at(0).value<LinkState>())));
    return seen;
}

// A listener that takes no connection and whose queue is full: a connection to it is neither
// made nor refused, as with a controller that is switched off behind a router.
class BusyListener {
public:
    bool start()
    {
        server_.setListenBacklogSize(0);
        if (!server_.listen(BusyAddress, ControllerSession::DefaultPort))
            return false;
        server_.pauseAccepting();
        for (int i = 0; i < 4; ++i) {
            fillers_.push_back(std::make_unique<QTcpSocket>());
            fillers_.back()->connectToHost(BusyAddress, ControllerSession::DefaultPort);
        }
        // The queue holds what it can; the rest of the fillers are left waiting.
        return QTest::qWaitFor([this] {
            return std::any_of(fillers_.begin(), fillers_.end(), [](const auto &filler) {
                return filler->state() == QAbstractSocket::ConnectedState;
            });
        });
    }

private:
    QTcpServer server_;
    std::vector<std::unique_ptr<QTcpSocket>> fillers_;
};

} // namespace

Q_DECLARE_METATYPE(Ending)

class TestLinkState : public QObject {
    Q_OBJECT

private slots:
    void statesOfALink_data();
    void statesOfALink();
    void reasonOfEachOutcome_data();
    void reasonOfEachOutcome();
};

void TestLinkState::statesOfALink_data()
{
    QTest::addColumn<Ending>("ending");
    QTest::addColumn<States>("expected");
    QTest::addColumn<QString>("reason");  // as the session tells of a failure or the controller's close

    QTest::newRow("answered, closed by this side")
        << Ending::ClosedHere << States{"LookingUpHost", "Connecting", "Connected", "Closing", "Closed"}
        << QString();
    // The controller's close is kept until the session closes its side.
    QTest::newRow("closed by the controller, then here")
        << Ending::ClosedByController
        << States{"LookingUpHost", "Connecting", "Connected", "Closing", "Closed"}
        << QStringLiteral("o controlador encerrou a conexão");
    QTest::newRow("refused") << Ending::Refused << States{"LookingUpHost", "Connecting", "Failed"}
                             << QStringLiteral("conexão recusada");
    QTest::newRow("not connected in time") << Ending::NotConnectedInTime
                                           << States{"LookingUpHost", "Connecting", "Failed"}
                                           << QStringLiteral("sem resposta em 0.3 s");
}

void TestLinkState::statesOfALink()
{
    QFETCH(Ending, ending);
    QFETCH(States, expected);
    QFETCH(QString, reason);

    RecordingPeer peer(PeerAddress);
    peer.replyTo("LR", RecordingPeer::frame("LR12000007122402"));
    BusyListener busy;
    if (ending == Ending::NotConnectedInTime)
        QVERIFY(busy.start());
    const QHostAddress address = ending == Ending::Refused            ? NobodyAddress
        : ending == Ending::NotConnectedInTime                         ? BusyAddress
                                                                       : PeerAddress;

    ControllerSession session;
    QSignalSpy spy(&session, &ControllerSession::linkStateChanged);
    QString failure;
    connect(&session, &ControllerSession::connectionFailed, [&] { failure = session.errorString(); });
    connect(&session, &ControllerSession::peerClosed, [&] { failure = session.errorString(); });
    session.connectTo(address.toString(), ControllerSession::DefaultPort, 300);

    switch (ending) {
    case Ending::ClosedHere: {
        QVERIFY(peer.waitForClient());
        SessionRequest *clock = session.request("LR");
        QSignalSpy replied(clock, &SessionRequest::finished);
        QVERIFY(replied.wait());
        session.endDialogue();
        break;
    }
    case Ending::ClosedByController:
        QVERIFY(peer.waitForClient());
        QTRY_COMPARE(session.linkState(), LinkState::Connected);
        peer.dropClient();
        QTRY_COMPARE(session.linkState(), LinkState::Closing);
        session.abort();
        break;
    case Ending::Refused:
    case Ending::NotConnectedInTime:
        break;
    }
    QTRY_COMPARE(states(spy).join(u' '), expected.join(u' '));
    QCOMPARE(states(spy).constLast(), expected.constLast());
    QCOMPARE(failure, reason);
    // A close of this side's own forgets why the link was lost.
    QCOMPARE(session.errorString(), session.linkState() == LinkState::Failed ? reason : QString());
    // Nothing more comes of a link that has settled.
    QTest::qWait(400);
    QCOMPARE(states(spy).join(u' '), expected.join(u' '));
}

void TestLinkState::reasonOfEachOutcome_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("reason");

    QTest::newRow("replied") << true << QByteArray("LR") << RecordingPeer::frame("LR12000007122402") << QString();
    QTest::newRow("the controller's error") << true << QByteArray("MT02") << RecordingPeer::frame("MTEOL")
                                            << QStringLiteral("Sonda OFF-LINE ou Inexistente ! (OL)");
    QTest::newRow("an error code nobody knows") << true << QByteArray("MT02") << RecordingPeer::frame("MTEXY")
                                                << QStringLiteral("erro desconhecido (XY)");
    QTest::newRow("no reply, in seconds") << true << QByteArray("LR") << QByteArray()
                                          << QStringLiteral("sem resposta em 0.3 s");
    QTest::newRow("unusable") << true << QByteArray("LR") << RecordingPeer::frame("LR25610007122602")
                              << QStringLiteral("resposta inválida do controlador (relógio impossível (25:61:00 07/12/26, dia 02))");
    QTest::newRow("another address") << true << QByteArray("ID01") << RecordingPeer::frame("IDB0201")
                                     << QStringLiteral("o controlador tem o endereço \"B02\", não A01");
    QTest::newRow("no connection") << false << QByteArray("LR") << QByteArray()
                                   << QStringLiteral("a conexão foi perdida");
}

void TestLinkState::reasonOfEachOutcome()
{
    QFETCH(bool, connected);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, reply);
    QFETCH(QString, reason);

    RecordingPeer peer(PeerAddress);
    if (!reply.isEmpty())
        peer.replyTo(body, reply);
    ControllerSession session;
    if (connected) {
        session.connectTo(PeerAddress.toString());
        QVERIFY(peer.waitForClient());
    }
    SessionRequest *request = body == "ID01" ? session.openDialogue("abc", 300) : session.request(body, 300);
    QString said = QStringLiteral("(not finished)");
    connect(request, &SessionRequest::finished, [&] { said = request->errorString(); });
    QTRY_COMPARE(said, reason);
}

QTEST_MAIN(TestLinkState)
#include "tst_link_state.moc"
