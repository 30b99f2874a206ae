#include "fleet_simulator.h"

#include "common/event_wait.h"
#include "interruption.h"

#include <QElapsedTimer>
#include <QTcpSocket>

#include <csignal>
#include <sys/prctl.h>

namespace {

constexpr quint16 Port = 4001;
constexpr int ListenTimeoutMs = 20000;
constexpr int ProbePauseMs = 100;
constexpr int StopTimeoutMs = 5000;

} // namespace

FleetSimulator::FleetSimulator(const QHostAddress &first, int count, const QStringList &options)
    : first_(first), last_(first.toIPv4Address() + quint32(count - 1)), options_(options)
{
}

FleetSimulator::~FleetSimulator()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(StopTimeoutMs)) {
        process_.kill();
        process_.waitForFinished(StopTimeoutMs);
    }
}

QString FleetSimulator::range() const
{
    return QStringLiteral("%1-%2").arg(first_.toString(), last_.toString());
}

bool FleetSimulator::start(QString *why)
{
    process_.setProgram(QStringLiteral(COMZELTA_SIM_PROGRAM));
    process_.setArguments(QStringList{QStringLiteral("--addresses"), range(), QStringLiteral("--quiet")} + options_);
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    // An interrupted benchmark must not leave the addresses taken.
    process_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process_.start();
    if (!process_.waitForStarted()) {
        *why = QStringLiteral("comzelta-sim --addresses %1 did not start: %2").arg(range(), process_.errorString());
        return false;
    }
    // It listens in address order, so the last address answering means all do.
    const QString last = last_.toString();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ListenTimeoutMs && !interrupted() && process_.state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(last, Port);
        waitUntil([&] { return probe.state() == QAbstractSocket::ConnectedState
                               || probe.state() == QAbstractSocket::UnconnectedState; },
                  ProbePauseMs * 10);
        if (probe.state() == QAbstractSocket::ConnectedState)
            return true;
        probe.abort();
        runEventsFor(ProbePauseMs);
    }
    *why = QStringLiteral("comzelta-sim --addresses %1 was not listening on %2 after %3 ms")
               .arg(range(), last)
               .arg(clock.elapsed());
    return false;
}
