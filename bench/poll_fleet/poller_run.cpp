#include "poller_run.h"

#include "common/event_wait.h"
#include "interruption.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <csignal>
#include <sys/prctl.h>

namespace {

constexpr int SampleEveryMs = 10;

long peakOf(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

} // namespace

std::optional<double> roundSecondsIn(const QString &roundLine)
{
    static const QRegularExpression seconds(QStringLiteral(R"(; (\d+(?:,\d+)?) s$)"));
    const QRegularExpressionMatch match = seconds.match(roundLine);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
}

PollerRun runPoller(const QStringList &arguments, int timeoutMs)
{
    PollerRun run;
    QProcess poller;
    QByteArray out;
    QElapsedTimer clock;
    const auto samplePeak = [&] {
        const long peak = peakOf(poller.processId());
        if (peak > 0)
            run.peakKiB = peak;
    };
    QTimer sampler;
    sampler.setTimerType(Qt::PreciseTimer);
    QObject::connect(&sampler, &QTimer::timeout, samplePeak);
    QObject::connect(&poller, &QProcess::readyReadStandardOutput, [&] {
        out += poller.readAllStandardOutput();
        if (run.roundLineAtMs >= 0)
            return;
        const qsizetype start = out.indexOf("Rodada 1");
        const qsizetype end = start < 0 ? -1 : out.indexOf('\n', start);
        if (end < 0)
            return;
        run.roundLineAtMs = clock.elapsed();
        samplePeak();
        run.roundLine = QString::fromUtf8(out.mid(start, end - start));
        run.roundSeconds = roundSecondsIn(run.roundLine);
    });
    QObject::connect(&poller, &QProcess::finished, [&] { run.elapsedMs = clock.elapsed(); });
    poller.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });

    clock.start();
    poller.start(QStringLiteral(COMZELTA_POLL_PROGRAM), arguments);
    sampler.start(SampleEveryMs);
    run.exited = waitUntil([&] { return poller.state() == QProcess::NotRunning || interrupted(); }, timeoutMs)
        && poller.state() == QProcess::NotRunning && poller.exitStatus() == QProcess::NormalExit;
    sampler.stop();
    if (poller.state() != QProcess::NotRunning) {
        poller.kill();
        poller.waitForFinished();
    }
    run.exitCode = run.exited ? poller.exitCode() : -1;
    run.problems = QString::fromUtf8(poller.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return run;
}
