// What a thousand idle, connected controller sessions cost one thread, beside a thousand plain
// sockets connected the same way to the same simulator.
#include "common/event_wait.h"
#include "common/simulator_process.h"
#include "idle_sessions/connection_set.h"
#include "idle_sessions/idle_cost.h"
#include "session/controller_session.h"
#include "process/open_file_limit.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTcpSocket>

#include <atomic>
#include <cstdio>
#include <functional>
#include <optional>


namespace {

constexpr char Address[] = "127.0.0.60";
constexpr int ConnectTimeoutMs = 60000;
constexpr int SettleMs = 1000;
// Descriptors besides the connections: standard streams, the listener, Qt's own.
constexpr qint64 SpareDescriptors = 64;

// Connections the simulator says it holds, from the lines it prints for each. The lines are read
// on the simulator's watching thread; each change is also told to `onChange` on the main thread,
// which wakes its loop, so a wait there sees the new count at once.
class PeerCount {
public:
    // Called on the main thread only.
    std::function<void()> onChange;

    void onLine(const QByteArray &line)
    {
        if (line.endsWith(" disconnected"))
            --live_;
        else if (line.endsWith(" connected"))
            ++live_;
        else
            return;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [this] {
                if (onChange)
                    onChange();
            },
            Qt::QueuedConnection);
    }
    int live() const { return live_; }

private:
    std::atomic<int> live_{0};
};

struct Phase {
    int connected = 0;
    int failed = 0;
    double connectSeconds = 0.0;
    IdleCost idle;
};

std::optional<Phase> measurePhase(const char *name, int count, int seconds, const ConnectionSet::Open &open,
                                  PeerCount &peers)
{
    Phase phase;
    ConnectionSet connections;
    peers.onChange = [&connections] { connections.acceptedMore(); };
    const BenchClock::time_point startedAt = BenchClock::now();
    phase.connected = connections.openAll(count, open, [&peers] { return peers.live(); }, ConnectTimeoutMs);
    phase.failed = connections.failed();
    const bool held = waitUntil([&] { return peers.live() == count; }, ConnectTimeoutMs);
    peers.onChange = nullptr;
    phase.connectSeconds = millisecondsBetween(startedAt, BenchClock::now()) / 1000.0;
    if (phase.connected != count || !held) {
        std::fprintf(stderr, "bench_idle_sessions: %s: %d of %d connected (%d failed), the simulator holds %d\n", name,
                     phase.connected, count, phase.failed, peers.live());
        return std::nullopt;
    }
    runEventsFor(SettleMs);
    phase.idle = measureIdle(seconds);

    connections.closeAll();
    if (!waitUntil([&] { return peers.live() == 0; }, ConnectTimeoutMs))
        std::fprintf(stderr, "bench_idle_sessions: %s: the simulator still holds %d connections\n", name, peers.live());
    return phase;
}

ConnectionSet::Open openSession()
{
    return [](std::function<void(bool)> settled) -> QObject * {
        auto *session = new ControllerSession;
        QObject::connect(session, &ControllerSession::connected, [settled] { settled(true); });
        QObject::connect(session, &ControllerSession::connectionFailed, [settled] { settled(false); });
        session->connectTo(QString::fromLatin1(Address));
        return session;
    };
}

// What any client does with an idle connection: read what comes.
ConnectionSet::Open openPlainSocket()
{
    return [](std::function<void(bool)> settled) -> QObject * {
        auto *socket = new QTcpSocket;
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
        QObject::connect(socket, &QTcpSocket::connected, [settled] { settled(true); });
        QObject::connect(socket, &QTcpSocket::errorOccurred, [settled] { settled(false); });
        socket->connectToHost(QString::fromLatin1(Address), ControllerSession::DefaultPort);
        return socket;
    };
}

void printPhase(const char *name, const Phase &phase)
{
    const IdleCost &idle = phase.idle;
    std::printf("%-20s %9d %10.2f %10.3f %8.4f %10.2f %12.2f %10.2f\n", name, phase.connected, phase.connectSeconds,
                idle.cpuMsPerSecond(), idle.cpuMsPerSecond() / 10.0, idle.perSecond(idle.loopWakeups),
                idle.perSecond(idle.voluntarySwitches), idle.perSecond(idle.involuntarySwitches));
}

std::optional<int> positiveNumber(const QCommandLineParser &parser, const QCommandLineOption &option)
{
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < 1)
        return std::nullopt;
    return value;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Idle connected controller sessions in one thread, beside plain sockets."));
    parser.addHelpOption();
    const QCommandLineOption countOption(QStringLiteral("count"), QStringLiteral("Connections (default 1000)."),
                                         QStringLiteral("N"), QStringLiteral("1000"));
    const QCommandLineOption secondsOption(QStringLiteral("seconds"),
                                           QStringLiteral("Idle time measured (default 10)."), QStringLiteral("S"),
                                           QStringLiteral("10"));
    parser.addOptions({countOption, secondsOption});
    parser.process(app);
    const std::optional<int> count = positiveNumber(parser, countOption);
    const std::optional<int> seconds = positiveNumber(parser, secondsOption);
    if (!count || !seconds) {
        std::fprintf(stderr, "bench_idle_sessions: --count and --seconds need whole numbers of at least 1\n");
        return 2;
    }

    // Both ends hold one descriptor per connection; the simulator inherits this process's limit.
    const std::optional<qint64> fileLimit = raiseOpenFileLimit();
    if (fileLimit && *fileLimit < *count + SpareDescriptors) {
        std::fprintf(stderr, "bench_idle_sessions: %d connections need more descriptors than the limit of %lld\n",
                     *count, static_cast<long long>(*fileLimit));
        return 1;
    }
    PeerCount peers;
    SimulatorProcess simulator(QString::fromLatin1(Address), {},
                               [&peers](const QByteArray &line, BenchClock::time_point) { peers.onLine(line); });
    QString error;
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "bench_idle_sessions: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("bench_idle_sessions: %d connections to %s:%d from one thread, %d s idle each, descriptor limit "
                "%lld (the simulator's too)\n",
                *count, Address, ControllerSession::DefaultPort, *seconds, static_cast<long long>(fileLimit.value_or(-1)));
    std::fflush(stdout);

    // The measuring loop's own cost, for scale.
    Phase unconnected;
    unconnected.idle = measureIdle(*seconds);
    const std::optional<Phase> plain = measurePhase("plain QTcpSocket", *count, *seconds, openPlainSocket(), peers);
    const std::optional<Phase> sessions = measurePhase("ControllerSession", *count, *seconds, openSession(), peers);
    if (!plain || !sessions)
        return 1;

    std::printf("\n%-20s %9s %10s %10s %8s %10s %12s %10s\n", "", "connected", "connect s", "CPU ms/s", "% core",
                "wakeups/s", "vol. sw./s", "invol./s");
    printPhase("nothing connected", unconnected);
    printPhase("plain QTcpSocket", *plain);
    printPhase("ControllerSession", *sessions);
    const double plainCpu = plain->idle.cpuMsPerSecond();
    const double sessionCpu = sessions->idle.cpuMsPerSecond();
    if (plainCpu > 0.0)
        std::printf("\nsessions / plain sockets, CPU: %.2f\n", sessionCpu / plainCpu);
    else
        std::printf("\nsessions / plain sockets, CPU: no ratio, the plain sockets used no measurable CPU (sessions "
                    "%.3f ms/s)\n",
                    sessionCpu);
    std::printf("CPU is user + system of this whole process (getrusage); wakeups are this thread's event loop coming "
                "out of its wait; switches count every thread\n");
    return 0;
}
