// Scripted stations and the program's station options, read through the console's own session.
#include "protocol/frame.h"
#include "session/controller_session.h"
#include "simulator/controller_simulator.h"
#include "tests/support/simulators.h"

#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Outcome = SessionRequest::Outcome;

QString minutesAhead(const QString &date, const QString &time)
{
    const std::optional<QDateTime> controller = controllerDateTime(date, time);
    const int minutes = controller ? qRound(QDateTime::currentDateTime().secsTo(*controller) / 60.0) : 999999;
    return (minutes < 0 ? QString() : QStringLiteral("+")) + QString::number(minutes);
}

// A console that keeps its readings as text: "MT 001 000800 000200 000800 001600 +0" (tank,
// measured, complementary, at 20, level, minutes ahead of the PC), "LS 2232 AI", "LR -1500".
struct Console {
    ControllerSession session;
    QStringList readings;

    Console()
    {
        QObject::connect(&session, &ControllerSession::measurementRead, &session, [this](const MeasurementReading &r) {
            readings << QStringList{r.command, r.tank, r.measured, r.complementary, r.volume20, r.level,
                                    minutesAhead(r.date, r.time)}.join(' ');
        });
        QObject::connect(&session, &ControllerSession::sensorsRead, &session, [this](const SensorReading &r) {
            readings << "LS " + r.states.left(r.count) + ' ' + (r.bar1Active ? 'A' : 'I') + (r.bar2Active ? 'A' : 'I');
        });
        QObject::connect(&session, &ControllerSession::clockRead, &session,
                         [this](const ClockReading &r) { readings << "LR " + minutesAhead(r.date, r.time); });
    }

    // Waits past the request's own timeout, so that the outcome is the session's.
    static Outcome outcomeOf(SessionRequest *request)
    {
        QObject context;
        Outcome outcome = Outcome::Pending;
        QObject::connect(request, &SessionRequest::finished, &context, [&] { outcome = request->outcome(); });
        static_cast<void>(QTest::qWaitFor([&] { return outcome != Outcome::Pending; }, request->timeoutMs() + 5000));
        return outcome;
    }

    Outcome open(const QString &host, int timeoutMs = 5000)
    {
        session.connectTo(host);
        return outcomeOf(session.openDialogue("SENHA", timeoutMs));
    }

    // A tank series counts its error replies as replies.
    bool ask(const QStringList &bodies)
    {
        return std::all_of(bodies.begin(), bodies.end(), [this](const QString &body) {
            return outcomeOf(session.request(body.toLatin1(), 5000)) == Outcome::Replied;
        });
    }
};

// comzelta-sim with one scripted tank, once it says it listens.
struct Program {
    QTemporaryDir directory;
    QProcess process;

    bool start(const QStringList &arguments)
    {
        QFile station(directory.filePath(QStringLiteral("station.ini")));
        if (!station.open(QIODevice::WriteOnly) || station.write("[tank 1]\nreadings = 100, 200, 300\n") < 0)
            return false;
        station.close();
        process.start(QStringLiteral(COMZELTA_SIM), arguments + QStringList{"--station", station.fileName()});
        QByteArray output;
        return QTest::qWaitFor([&] { return (output += process.readAllStandardOutput()).contains("listening on"); },
                               10000);
    }

    ~Program()
    {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
    }
};

} // namespace

class TestSimulatorScripting : public QObject {
    Q_OBJECT

private slots:
    void scriptedReadings_data()
    {
        QTest::addColumn<QString>("station");
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<QStringList>("readings");

        QTest::newRow("volumes stay on the last; memory and level follow")
            << "[tank 1]\ncapacity = 1000\nreadings = 800, 500, 200\nlevel = 1600\n"
            << QStringList{"LM01", "MT01", "MT01", "LM01", "MT01", "MT01"}
            << QStringList{"LM 001 000800 000200 000800 001600 +0", "MT 001 000800 000200 000800 001600 +0",
                           "MT 001 000500 000500 000500 001000 +0", "LM 001 000500 000500 000500 001000 +0",
                           "MT 001 000200 000800 000200 000400 +0", "MT 001 000200 000800 000200 000400 +0"};
        QTest::newRow("volumes at 20 of their own, complementary given")
            << "[tank 1]\ncapacity = 1000\ncomplementary = 50\nreadings = 800, 500\nreadings at 20 = 795, 497\n"
            << QStringList{"MT01", "MT01"}
            << QStringList{"MT 001 000800 000050 000795 S/Inf. +0", "MT 001 000500 000050 000497 S/Inf. +0"};
        QTest::newRow("a fixed volume at 20 gives way; a level with nothing to scale from stays")
            << "[tank 1]\ncapacity = 1000\nvolume at 20 = 5\nlevel = 35\nreadings = 0, 400\n"
            << QStringList{"LM01", "MT01", "MT01"}
            << QStringList{"LM 001 000000 001000 000005 000035 +0", "MT 001 000000 001000 000000 000035 +0",
                           "MT 001 000400 000600 000400 000035 +0"};
        QTest::newRow("MT and MA share each tank's readings; an off-line probe keeps its own")
            << "[tank 1]\nreadings = 100, 200, 300\n[tank 2]\nreadings = 10, 20\n[tank 3]\nreadings = 7, 8\n"
               "probe = offline\n"
            << QStringList{"MA", "MT02", "MA", "LM03"}
            << QStringList{"MA 001 000100 000000 000100 S/Inf. +0", "MA 002 000010 000000 000010 S/Inf. +0",
                           "MT 002 000020 000000 000020 S/Inf. +0", "MA 001 000200 000000 000200 S/Inf. +0",
                           "MA 002 000020 000000 000020 S/Inf. +0", "LM 003 000007 000000 000007 S/Inf. +0"};
        QTest::newRow("sensor and bar lists")
            << "[sensors]\ncount = 4\nsensor 1 = open\nsensor 3 = normal, leak, normal\nbar 1 = active, inactive\n"
            << QStringList{"LS", "LS", "LS", "LS"}
            << QStringList{"LS 4222 AI", "LS 4232 II", "LS 4222 II", "LS 4222 II"};
        QTest::newRow("clock behind, set after the tanks") << "[tank 1]\n[station]\nclock offset = -1500\n"
                                                           << QStringList{"LM01", "LR"}
                                                           << QStringList{"LM 001 000000 000000 000000 S/Inf. -1500",
                                                                          "LR -1500"};
    }
    void scriptedReadings()
    {
        QFETCH(QString, station);
        QFETCH(QStringList, requests);
        QFETCH(QStringList, readings);

        // Nothing when the station has problems (each warned of) or the address is taken.
        const std::unique_ptr<ControllerSimulator> simulator = startSimulator(station, QStringLiteral("127.0.0.154"));
        QVERIFY(simulator);
        Console console;
        QCOMPARE(console.open(QStringLiteral("127.0.0.154")), Outcome::Replied);
        QVERIFY(console.ask(requests));
        QCOMPARE(console.readings, readings);
    }

    // The first address is measured twice, then the last once: one station, or one state each.
    void programStations_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("lastReads");

        QTest::newRow("one address") << QStringList{"--address", "127.0.0.152"} << "127.0.0.152" << "127.0.0.152"
                                     << "000300";
        QTest::newRow("a range") << QStringList{"--addresses", "127.3.0.1-127.3.0.40"} << "127.3.0.1" << "127.3.0.40"
                                 << "000100";
        QTest::newRow("across the third octet") << QStringList{"--addresses", "127.3.0.250-127.3.1.3"}
                                                << "127.3.0.250" << "127.3.1.3" << "000100";
    }
    void programStations()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, first);
        QFETCH(QString, last);
        QFETCH(QString, lastReads);

        Program program;
        QVERIFY(program.start(arguments));
        Console atFirst, atLast;
        QCOMPARE(atFirst.open(first), Outcome::Replied);
        QVERIFY(atFirst.ask({"MT01", "MT01"}));
        QCOMPARE(atLast.open(last), Outcome::Replied);
        QVERIFY(atLast.ask({"MT01"}));
        QStringList measured;
        for (const QString &reading : atFirst.readings + atLast.readings)
            measured << reading.section(' ', 2, 2);
        QCOMPARE(measured, QStringList({"000100", "000200", lastReads}));
    }

    void silentProgram()
    {
        Program program;
        QVERIFY(program.start({"--silent", "--address", "127.0.0.153"}));
        Console console;
        QCOMPARE(console.open(QStringLiteral("127.0.0.153"), 500), Outcome::TimedOut);
        QVERIFY(console.session.isConnected());
        // Not even an acknowledgement.
        QTcpSocket socket;
        socket.connectToHost(QStringLiteral("127.0.0.153"), 4001);
        QVERIFY(socket.waitForConnected(5000));
        socket.write(QByteArray::fromStdString(zelta::frameRequest("LR")));
        QVERIFY(!socket.waitForReadyRead(500));
    }
};

QTEST_GUILESS_MAIN(TestSimulatorScripting)
#include "tst_simulator_scripting.moc"
