// How long comzelta-poll's round takes beside its protocol floor: the pauses the session must
// leave between transmissions (the controller relies on them) make one station's round last at
// least (transmissions - 1) x 100 ms however fast the controller answers. Then 40 stations, all
// at once on one thread and one at a time (--parallel 1), as ratios to that floor.
//
// The controllers are one comzelta-sim process with a station on each address, so that their
// work is not counted as the poller's.
#include "poll/poll_scheduler.h"
#include "poll/station_poll.h"
#include "session/controller_session.h"
#include "store/history_store.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTcpSocket>
#include <QThread>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

#include <sys/prctl.h>
#include <csignal>

namespace {

constexpr int Stations = 40;
constexpr quint32 FirstAddress = 0x7F0000C8;  // 127.0.0.200
constexpr int AllAtOnceRuns = 3;
const PollTiming Timing{5000, 10000, 0, 0};

QString addressAt(int index)
{
    return QHostAddress(FirstAddress + quint32(index)).toString();
}

// comzelta-sim with one station per address; false when it does not listen within seconds.
bool startSimulators(QProcess &simulator)
{
    simulator.setProgram(QStringLiteral(COMZELTA_SIM_PROGRAM));
    simulator.setArguments({QStringLiteral("--addresses"),
                            QStringLiteral("%1-%2").arg(addressAt(0), addressAt(Stations - 1)),
                            QStringLiteral("--quiet")});
    simulator.setProcessChannelMode(QProcess::ForwardedChannels);
    // A benchmark that is interrupted must not leave the addresses taken.
    simulator.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    simulator.start();
    if (!simulator.waitForStarted(5000))
        return false;
    for (int attempt = 0; attempt < 50; ++attempt) {
        QTcpSocket probe;
        probe.connectToHost(addressAt(Stations - 1), ControllerSession::DefaultPort);
        if (probe.waitForConnected(100))
            return true;
        if (simulator.state() == QProcess::NotRunning)
            return false;
        QThread::msleep(100);
    }
    return false;
}

struct Round {
    qint64 elapsedMs = 0;
    int stations = 0;
    int read = 0;
    int transmissions = 0;  // of the first station
};

// One round over the first `count` stations; the event loop runs until it is over.
Round runRound(HistoryStore &store, int count, int parallel)
{
    QObject owner;
    QList<StationPoll *> polls;
    Round result;
    for (int i = 0; i < count; ++i) {
        const QString address = addressAt(i);
        auto *poll = new StationPoll(PolledStation{address, {address, ControllerSession::DefaultPort}, {}, {}},
                                     "SENHA", Timing, &store, &owner);
        if (i == 0) {
            QObject::connect(poll->session(), &ControllerSession::logLine, &owner, [&result](const QByteArray &line) {
                if (line.startsWith("Transmitiu: "))
                    ++result.transmissions;
            });
        }
        polls << poll;
    }
    PollScheduler scheduler(polls, parallel);
    QObject::connect(&scheduler, &PollScheduler::roundFinished, &owner, [&result](const RoundSummary &summary) {
        result.elapsedMs = summary.elapsedMs;
        result.stations = summary.stations;
        result.read = summary.read;
        QCoreApplication::exit();
    });
    scheduler.runRound();
    QCoreApplication::exec();
    return result;
}

void report(const char *what, const Round &round, double floorMs)
{
    std::printf("%-34s %8lld ms  %6.2f x floor  (%d of %d read)\n", what, static_cast<long long>(round.elapsedMs),
                double(round.elapsedMs) / floorMs, round.read, round.stations);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QProcess simulator;
    if (!startSimulators(simulator)) {
        std::fprintf(stderr, "bench_poll_round: comzelta-sim --addresses %s-%s did not start listening\n",
                     qPrintable(addressAt(0)), qPrintable(addressAt(Stations - 1)));
        return 1;
    }
    QTemporaryDir directory;
    HistoryStore store(HistoryStore::filePathIn(directory.path() + QLatin1Char('/')));

    const Round one = runRound(store, 1, 0);
    const double floorMs = double(one.transmissions - 1) * ControllerSession::DefaultPauseMs;
    std::printf("bench_poll_round: one round (ID01, CF, MA, LS, LR, ID02) of the demonstration station\n");
    std::printf("protocol floor: %d transmissions, the first at once, %d paced x %d ms = %.0f ms\n",
                one.transmissions, one.transmissions - 1, ControllerSession::DefaultPauseMs, floorMs);
    report("1 station", one, floorMs);

    for (int run = 1; run <= AllAtOnceRuns; ++run) {
        const QByteArray what = QStringLiteral("%1 stations at once (run %2)").arg(Stations).arg(run).toUtf8();
        report(what.constData(), runRound(store, Stations, 0), floorMs);
    }
    report("40 stations, --parallel 1", runRound(store, Stations, 1), floorMs);

    simulator.terminate();
    simulator.waitForFinished(3000);
    return 0;
}
