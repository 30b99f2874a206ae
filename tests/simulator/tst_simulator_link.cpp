#include "protocol/control_codes.h"
#include "protocol/frame.h"
#include "simulator/controller_simulator.h"
#include "simulator_client.h"

#include <QtTest>

namespace {

const QHostAddress Address(QStringLiteral("127.0.0.21"));

QByteArray framed(std::string_view body)
{
    return QByteArray::fromStdString(zelta::frameRequest(body));
}

QByteArray codeOf(const QByteArray &frame)
{
    return frame.mid(1, 2);
}

} // namespace

class TestSimulatorLink : public QObject {
    Q_OBJECT

    ControllerSimulator *simulator = nullptr;
    SimulatorClient *client = nullptr;

    void connectClient()
    {
        client = new SimulatorClient(this);
        QVERIFY(client->connectTo(Address));
    }

private slots:
    void init()
    {
        simulator = new ControllerSimulator(this);
        simulator->setReplyDelay(0);
        QVERIFY(simulator->listen(Address));
    }

    void cleanup()
    {
        delete client;
        client = nullptr;
        delete simulator;
    }

    void everyRequestFrameIsAcknowledged()
    {
        connectClient();
        const QByteArray keepAlive("\xFF\xF1", 2);
        client->send(keepAlive + framed("LR") + zelta::ACK + keepAlive + framed("LS") + 'x' + zelta::NAK
                     + framed("MT01") + keepAlive);
        QTRY_COMPARE(client->frames().size(), 3);
        QCOMPARE(client->acks(), 3);
        QCOMPARE(codeOf(client->frames()[0]), "LR");
        QCOMPARE(codeOf(client->frames()[1]), "LS");
        QCOMPARE(codeOf(client->frames()[2]), "MT");
    }

    void refusedRequests_data()
    {
        QTest::addColumn<bool>("nakFault");
        QTest::addColumn<QByteArray>("request");

        QByteArray badCheck = framed("LR");
        badCheck.back() = char(badCheck.back() ^ 0x40);
        QTest::newRow("wrong check byte") << false << badCheck;
        QTest::newRow("NAK fault") << true << framed("LR");
    }
    void refusedRequests()
    {
        QFETCH(bool, nakFault);
        QFETCH(QByteArray, request);
        connectClient();
        simulator->setNakRequests(nakFault);

        client->send(request);
        QTRY_COMPARE(client->naks(), 1);
        simulator->setNakRequests(false);
        client->send(framed("LS"));
        QTRY_COMPARE(client->frames().size(), 1);
        QCOMPARE(codeOf(client->frames()[0]), "LS");
        QCOMPARE(client->acks(), 1);
    }

    void seriesWaitsForEachAck()
    {
        simulator->setAckTimeout(60000);
        connectClient();
        client->setAutoAck(false);
        QSignalSpy sent(simulator, &ControllerSimulator::replySent);

        client->send(framed("MA"));
        for (int tank = 1; tank <= 4; ++tank) {
            QTRY_COMPARE(client->frames().size(), tank);
            QVERIFY(!sent.wait(300));
            client->send(QByteArray(1, zelta::ACK));
        }
        QCOMPARE(sent.size(), 4);
    }

    void seriesGoesOnWithoutAcks()
    {
        simulator->setAckTimeout(50);
        connectClient();
        client->setAutoAck(false);
        client->send(framed("MP010324"));
        QTRY_COMPARE(client->frames().size(), 3);
    }

    // An ACK is due at once: it must not wait behind a reply that is waiting for its gap.
    void acknowledgementsGoAheadOfWaitingReplies()
    {
        simulator->setReplyDelay(500);
        connectClient();
        client->send(framed("LR"));
        QTRY_COMPARE(client->acks(), 1);
        client->send(framed("LS"));
        QTRY_COMPARE(client->acks(), 2);
        QVERIFY(client->frames().isEmpty());
        QTRY_COMPARE(client->frames().size(), 2);
        QCOMPARE(client->reads().mid(0, 2), QByteArrayList({QByteArray(1, zelta::ACK), QByteArray(1, zelta::ACK)}));
    }

    void replyDelay()
    {
        simulator->setReplyDelay(400);
        connectClient();
        QElapsedTimer elapsed;
        elapsed.start();
        client->send(framed("LR"));
        QTRY_COMPARE(client->frames().size(), 1);
        QVERIFY2(elapsed.elapsed() >= 400, qPrintable(QString::number(elapsed.elapsed())));
    }

    void chunkedReply()
    {
        simulator->setChunkSize(4);
        connectClient();
        client->send(framed("ID01"));
        QTRY_COMPARE(client->frames().size(), 1);
        const QByteArray reply = client->frames()[0];
        QCOMPARE(reply.mid(1, 8), "IDA0130\x03");
        // Everything after the ACK is the reply, and it came in several reads.
        QVERIFY2(client->reads().size() >= 3, qPrintable(QString::number(client->reads().size())));
        QCOMPARE(client->received(), zelta::ACK + reply);
    }

    void wrongCheckByte()
    {
        simulator->setWrongCheckByte(true);
        connectClient();
        client->send(framed("LR"));
        QTRY_COMPARE(client->frames().size(), 1);
        QVERIFY(client->frames()[0].back() != expectedCheckByte(client->frames()[0]));
    }

    void closesAfterFrames()
    {
        simulator->setCloseAfterFrames(2);
        connectClient();
        QSignalSpy closed(&client->socket(), &QTcpSocket::disconnected);
        client->send(framed("ID01"));
        QTRY_COMPARE(client->frames().size(), 1);
        client->send(framed("LR"));
        QVERIFY(closed.wait());
        QCOMPARE(client->acks(), 1);
        QCOMPARE(client->frames().size(), 1);
    }

    void unterminatedFrameBeforeTheFirstReply()
    {
        simulator->setUnterminatedFrame(true);
        connectClient();
        client->send(framed("ID01"));
        QTRY_COMPARE(client->frames().size(), 1);
        client->send(framed("LS"));
        QTRY_COMPARE(client->frames().size(), 2);
        const QByteArray id = client->frames()[0];
        QCOMPARE(client->received(), zelta::ACK + id.chopped(2) + id + zelta::ACK + client->frames()[1]);
    }

    void garbage()
    {
        simulator->setGarbageOnConnect(500);
        connectClient();
        QTRY_COMPARE(client->received().size(), 500);
        simulator->sendGarbage(40);
        QTRY_COMPARE(client->received().size(), 540);
        QVERIFY(!client->received().contains(zelta::ETX));
    }

    void flood()
    {
        simulator->setFloodOnConnect(20);
        connectClient();
        client->setAutoAck(false);
        QTRY_COMPARE(client->frames().size(), 20);
        for (const QByteArray &frame : client->frames())
            QCOMPARE(codeOf(frame), "LR");
    }

    void clientsShareOneStation()
    {
        connectClient();
        SimulatorClient other;
        QVERIFY(other.connectTo(Address));
        QTRY_COMPARE(simulator->clientCount(), 2);

        client->send(framed("AR1120000010124"));
        QTRY_COMPARE(client->frames().size(), 1);
        other.send(framed("LR"));
        QTRY_COMPARE(other.frames().size(), 1);
        QCOMPARE(other.frames()[0].mid(3, 4), "1200");
        QCOMPARE(other.frames()[0].mid(9, 6), "010124");
    }
};

QTEST_GUILESS_MAIN(TestSimulatorLink)
#include "tst_simulator_link.moc"
