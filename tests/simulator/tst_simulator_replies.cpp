#include "protocol/control_codes.h"
#include "protocol/text_fields.h"
#include "simulator/controller_simulator.h"
#include "simulator_client.h"

#include <QtTest>

namespace {

const QHostAddress Address(QStringLiteral("127.0.0.20"));
const QDateTime OldMeasurement(QDate(2024, 2, 1), QTime(8, 30));

QByteArray at(const QByteArray &frame, int position, int width)
{
    return QByteArray::fromStdString(
        zelta::field(std::string_view(frame.constData(), std::size_t(frame.size())), std::size_t(position),
                     std::size_t(width)));
}

QDateTime clockOf(const QByteArray &hhmmss, const QByteArray &ddmmaa)
{
    return QDateTime(QDate(2000 + ddmmaa.mid(4, 2).toInt(), ddmmaa.mid(2, 2).toInt(), ddmmaa.left(2).toInt()),
                     QTime(hhmmss.left(2).toInt(), hhmmss.mid(2, 2).toInt(), hhmmss.mid(4, 2).toInt()));
}

SimulatedTank tank(const char *product, int capacity, int measured)
{
    SimulatedTank t;
    t.product = QString::fromUtf8(product);
    t.capacity = capacity;
    t.measured = measured;
    t.lastMeasurement = OldMeasurement;
    return t;
}

// Every kind of tank the replies tell apart, with a gap at tank 5.
SimulatedStation testStation()
{
    SimulatedStation s;
    s.version = QStringLiteral("31");
    s.ofe = 4127;
    s.meterType = 2;
    s.password = QStringLiteral("Senha");

    s.tanks[1] = tank("GASOLINA", 30000, 18250);
    s.tanks[1].volume20 = 18130;
    s.tanks[1].density = 0.74;
    s.tanks[1].levelMm = 1420;
    s.tanks[1].expansion = 0.0012;
    s.tanks[2] = tank("Óleo Diesel S10", 1234567, 20500);
    s.tanks[2].complementary = 3000;
    s.tanks[2].density = 0.8;
    s.tanks[2].expansion = 0.0008;
    s.tanks[2].byWeight = true;
    s.tanks[3] = tank("DESLIGADO", 10000, 0);
    s.tanks[3].enabled = false;
    s.tanks[4] = tank("ETANOL", 15000, 9800);
    s.tanks[4].probeOnline = false;
    s.tanks[6] = tank("GASOLINA ADITIVADA", 15000, 16000);

    s.sensorCount = 18;
    s.sensors[0] = SensorState::Short;
    s.sensors[2] = SensorState::Leak;
    s.sensors[3] = SensorState::Open;
    s.sensors[16] = SensorState::Leak;
    s.bar1Active = true;

    s.schedule[QDate(2024, 3, 1)] = {{QTime(6, 0), 1, 21000}, {QTime(6, 0), 4, 12100}, {QTime(18, 30), 3, 6400}};
    s.schedule[QDate(2024, 3, 2)] = {{QTime(7, 15, 30), 2, 300}};
    return s;
}

} // namespace

class TestSimulatorReplies : public QObject {
    Q_OBJECT

    ControllerSimulator *simulator = nullptr;
    SimulatorClient *client = nullptr;

    // Sends one request and waits for `count` more frames; returns them.
    QList<QByteArray> ask(std::string_view body, int count = 1)
    {
        const qsizetype before = client->frames().size();
        client->sendRequest(body);
        if (!QTest::qWaitFor([&] { return client->frames().size() >= before + count; }, 5000))
            return {};
        return client->frames().mid(before);
    }

    // The request is acknowledged and gets no reply: the next frame is the reply to a following "LR".
    bool acknowledgedOnly(std::string_view body)
    {
        const qsizetype frames = client->frames().size();
        const int acks = client->acks();
        client->sendRequest(body);
        client->sendRequest("LR");
        return QTest::qWaitFor([&] { return client->frames().size() > frames; }, 5000)
            && client->acks() == acks + 2 && at(client->frames().at(frames), 2, 2) == "LR";
    }

private slots:
    void init()
    {
        simulator = new ControllerSimulator(testStation(), this);
        simulator->setReplyDelay(0);
        QVERIFY(simulator->listen(Address));
        client = new SimulatorClient(this);
        QVERIFY(client->connectTo(Address));
    }

    void cleanup()
    {
        for (const QByteArray &frame : client->frames()) {
            QCOMPARE(frame.front(), zelta::STX);
            QCOMPARE(frame.at(frame.size() - 2), zelta::ETX);
            QCOMPARE(frame.back(), expectedCheckByte(frame));
        }
        delete client;
        delete simulator;
    }

    void identification()
    {
        const QList<QByteArray> replies = ask("ID01");
        QCOMPARE(replies.size(), 1);
        QCOMPARE(at(replies[0], 2, 2), "ID");
        QCOMPARE(at(replies[0], 4, 3), "A01");
        QCOMPARE(at(replies[0], 7, 2), "31");
        QCOMPARE(replies[0].size(), 10);
        QVERIFY(acknowledgedOnly("ID02"));
    }

    void configuration_data()
    {
        QTest::addColumn<QString>("configured");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<bool>("answered");

        QTest::newRow("as the console sends it") << "Senha" << QByteArray("SENHA") << true;
        QTest::newRow("case ignored") << "Senha" << QByteArray("senha") << true;
        QTest::newRow("wrong password") << "Senha" << QByteArray("OUTRA") << false;
        QTest::newRow("missing password") << "Senha" << QByteArray() << false;
        QTest::newRow("none configured") << "" << QByteArray("QUALQUER") << true;
    }
    void configuration()
    {
        QFETCH(QString, configured);
        QFETCH(QByteArray, sent);
        QFETCH(bool, answered);
        simulator->station().password = configured;

        const std::string body = "CF" + sent.toStdString();
        if (!answered) {
            QVERIFY(acknowledgedOnly(body));
            return;
        }
        const QList<QByteArray> replies = ask(body);
        QCOMPARE(replies.size(), 1);
        QCOMPARE(at(replies[0], 2, 2), "CF");
        QCOMPARE(at(replies[0], 4, 2), "06");
        QCOMPARE(at(replies[0], 6, 6), "004127");
        QCOMPARE(at(replies[0], 12, 1), "2");
        QCOMPARE(at(replies[0], 13, 2), "18");
        QCOMPARE(replies[0].size(), 16);
    }

    void readClock()
    {
        const QList<QByteArray> replies = ask("LR");
        QCOMPARE(replies.size(), 1);
        QCOMPARE(at(replies[0], 2, 2), "LR");
        const QDateTime reported = clockOf(at(replies[0], 4, 6), at(replies[0], 10, 6));
        QVERIFY2(qAbs(reported.secsTo(QDateTime::currentDateTime())) <= 2, qPrintable(reported.toString()));
        QCOMPARE(replies[0].size(), 19);
    }

    void setClock_data()
    {
        QTest::addColumn<QByteArray>("argument");
        QTest::addColumn<QDateTime>("set");
        QTest::addColumn<QByteArray>("day");

        QTest::newRow("friday") << QByteArray("SENHA6102030150324") << QDateTime(QDate(2024, 3, 15), QTime(10, 20, 30))
                                << QByteArray("06");
        QTest::newRow("saturday") << QByteArray("SENHA7235950160324")
                                  << QDateTime(QDate(2024, 3, 16), QTime(23, 59, 50)) << QByteArray("07");
        QTest::newRow("sunday") << QByteArray("SENHA1000000170324") << QDateTime(QDate(2024, 3, 17), QTime(0, 0))
                                << QByteArray("01");
        QTest::newRow("wrong password") << QByteArray("OUTRA6102030150324") << QDateTime() << QByteArray();
        QTest::newRow("no such date") << QByteArray("SENHA6102030300224") << QDateTime() << QByteArray();
    }
    void setClock()
    {
        QFETCH(QByteArray, argument);
        QFETCH(QDateTime, set);
        QFETCH(QByteArray, day);

        if (!set.isValid()) {
            QVERIFY(acknowledgedOnly("AR" + argument.toStdString()));
            const QByteArray &clock = client->frames().last();
            const QDateTime unchanged = clockOf(at(clock, 4, 6), at(clock, 10, 6));
            QVERIFY(qAbs(unchanged.secsTo(QDateTime::currentDateTime())) <= 2);
            return;
        }
        const QList<QByteArray> replies = ask("AR" + argument.toStdString());
        QCOMPARE(replies.size(), 1);
        QCOMPARE(at(replies[0], 2, 2), "AR");
        QCOMPARE(at(replies[0], 16, 2), day);
        QVERIFY(qAbs(clockOf(at(replies[0], 4, 6), at(replies[0], 10, 6)).secsTo(set)) <= 1);

        // The clock runs on from what was set.
        const QList<QByteArray> read = ask("LR");
        QCOMPARE(read.size(), 1);
        const qint64 ahead = set.secsTo(clockOf(at(read[0], 4, 6), at(read[0], 10, 6)));
        QVERIFY2(ahead >= 0 && ahead <= 2, qPrintable(QString::number(ahead)));
    }

    void measurement_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArrayList>("fields");  // positions 4 to 57, then 70
        QTest::addColumn<bool>("fresh");              // measured now, not the stored time

        QTest::newRow("by volume") << QByteArray("MT01")
                                   << QByteArrayList{"001", "GASOLINA   ", "0.0012", "0.74", "030000", "018250",
                                                     "011750", "018130", "001420", " "}
                                   << true;
        QTest::newRow("by weight, text cut, value clamped")
            << QByteArray("MT02")
            << QByteArrayList{"002", "\xD3leo Diesel", "0.0008", "0.80", "999999", "020500", "003000", "020500",
                              "S/Inf.", "P"}
            << true;
        QTest::newRow("overfull tank") << QByteArray("MT06")
                                       << QByteArrayList{"006", "GASOLINA AD", "0.0000", "0.00", "015000", "016000",
                                                         "000000", "016000", "S/Inf.", " "}
                                       << true;
        QTest::newRow("memory of an off-line probe")
            << QByteArray("LM04")
            << QByteArrayList{"004", "ETANOL     ", "0.0000", "0.00", "015000", "009800", "005200", "009800",
                              "S/Inf.", " "}
            << false;
    }
    void measurement()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArrayList, fields);
        QFETCH(bool, fresh);

        const QList<QByteArray> replies = ask(request.toStdString());
        QCOMPARE(replies.size(), 1);
        const QByteArray &reply = replies[0];
        QCOMPARE(reply.size(), 72);
        QCOMPARE(at(reply, 2, 2), request.left(2));
        const QList<QPair<int, int>> layout = {{4, 3},   {7, 11},  {18, 6}, {24, 4}, {28, 6},
                                               {34, 6},  {40, 6},  {46, 6}, {52, 6}, {70, 1}};
        for (int i = 0; i < layout.size(); ++i)
            QCOMPARE(at(reply, layout[i].first, layout[i].second), fields[i]);
        const QDateTime measured = clockOf(at(reply, 58, 6), at(reply, 64, 6));
        if (fresh)
            QVERIFY(qAbs(measured.secsTo(QDateTime::currentDateTime())) <= 2);
        else
            QCOMPARE(measured, OldMeasurement);
    }

    void memoryKeepsTheLastMeasurement()
    {
        QList<QByteArray> replies = ask("LM01");
        QCOMPARE(replies.size(), 1);
        QCOMPARE(clockOf(at(replies[0], 58, 6), at(replies[0], 64, 6)), OldMeasurement);

        simulator->station().clock.set(QDateTime(QDate(2025, 7, 4), QTime(9, 0)));
        replies = ask("MT01");
        const QByteArray measuredAt = at(replies.value(0), 58, 12);
        simulator->station().clock.set(QDateTime(QDate(2025, 7, 5), QTime(9, 0)));
        replies = ask("LM01");
        QCOMPARE(replies.size(), 1);
        QCOMPARE(at(replies[0], 58, 12), measuredAt);
        QVERIFY(measuredAt.endsWith("040725"));
    }

    void errors_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("body");

        QTest::newRow("tank 00") << QByteArray("MT00") << QByteArray("MTETI");
        QTest::newRow("tank 17") << QByteArray("MT17") << QByteArray("MTETI");
        QTest::newRow("bare MT") << QByteArray("MT") << QByteArray("MTETI");
        QTest::newRow("one digit") << QByteArray("MT1") << QByteArray("MTETI");
        QTest::newRow("bare LM") << QByteArray("LM") << QByteArray("LMETI");
        QTest::newRow("disabled") << QByteArray("MT03") << QByteArray("MTENH");
        QTest::newRow("absent") << QByteArray("MT05") << QByteArray("MTENH");
        QTest::newRow("beyond the last") << QByteArray("LM16") << QByteArray("LMENH");
        QTest::newRow("probe off-line") << QByteArray("MT04") << QByteArray("MTEOL");
        QTest::newRow("no records") << QByteArray("MP310324") << QByteArray("MPESL");
        QTest::newRow("not a date") << QByteArray("MP 10324") << QByteArray("MPESL");
    }
    void errors()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, body);

        const QList<QByteArray> replies = ask(request.toStdString());
        QCOMPARE(replies.size(), 1);
        QCOMPARE(replies[0].mid(1, replies[0].size() - 3), body);
    }

    void allTanks()
    {
        const QList<QByteArray> replies = ask("MA", 6);
        QCOMPARE(replies.size(), 6);
        const QByteArrayList heads = {"MA001", "MA002", "MAENH", "MAEOL", "MAENH", "MA006"};
        for (int i = 0; i < replies.size(); ++i) {
            QCOMPARE(at(replies[i], 2, 5), heads[i]);
            QCOMPARE(at(replies[i], 44, 1) == QByteArray(1, zelta::CR), i == replies.size() - 1);
        }
        QCOMPARE(replies.last().size(), 72);
        // The CR sits inside the complementary field; its value stays readable before it.
        QCOMPARE(at(replies.last(), 40, 6), QByteArray("0000\r "));
    }

    void endOfReadingKeepsComplementaryValue_data()
    {
        QTest::addColumn<int>("complementary");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("fits before the CR") << 5200 << QByteArray("5200\r ");
        QTest::newRow("too wide: the CR overwrites a digit") << 12345 << QByteArray("0123\r5");
    }
    void endOfReadingKeepsComplementaryValue()
    {
        QFETCH(int, complementary);
        QFETCH(QByteArray, field);
        simulator->station().tanks[6].complementary = complementary;
        const QList<QByteArray> replies = ask("MA", 6);
        QCOMPARE(replies.size(), 6);
        QCOMPARE(at(replies.last(), 40, 6), field);
    }

    void sensors()
    {
        const QList<QByteArray> replies = ask("LS");
        QCOMPARE(replies.size(), 1);
        QCOMPARE(at(replies[0], 4, 16), "1234222222222222");
        QCOMPARE(at(replies[0], 20, 1), "A");
        QCOMPARE(at(replies[0], 21, 16), "3200000000000000");
        QCOMPARE(at(replies[0], 37, 1), "I");
        QCOMPARE(replies[0].size(), 39);
    }

    void scheduled_data()
    {
        QTest::addColumn<QByteArray>("date");
        QTest::addColumn<QByteArrayList>("records");  // positions 4 to 24

        QTest::newRow("series") << QByteArray("010324")
                                << QByteArrayList{"060000010324021000001", "060000010324012100004",
                                                  "183000010324006400003"};
        QTest::newRow("single record") << QByteArray("020324") << QByteArrayList{"071530020324000300002"};
    }
    void scheduled()
    {
        QFETCH(QByteArray, date);
        QFETCH(QByteArrayList, records);

        const QList<QByteArray> replies = ask("MP" + date.toStdString(), int(records.size()));
        QCOMPARE(replies.size(), records.size());
        for (int i = 0; i < replies.size(); ++i) {
            QCOMPARE(at(replies[i], 2, 2), "MP");
            QCOMPARE(at(replies[i], 4, 21), records[i]);
            const bool last = i == replies.size() - 1;
            QCOMPARE(at(replies[i], 25, 1), last ? QByteArray(1, zelta::ETX) : QByteArray(1, zelta::SOH));
        }
    }

    void unknownCodeIsOnlyAcknowledged()
    {
        QVERIFY(acknowledgedOnly("XY12"));
    }
};

QTEST_GUILESS_MAIN(TestSimulatorReplies)
#include "tst_simulator_replies.moc"
