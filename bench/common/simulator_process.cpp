#include "common/simulator_process.h"

#include <QProcess>

#include <csignal>
#include <sys/prctl.h>

namespace {

constexpr int StartTimeoutMs = 5000;
constexpr int StopTimeoutMs = 3000;

} // namespace

SimulatorProcess::SimulatorProcess(const QString &address, const QStringList &arguments, LineHandler onLine)
    : address_(address), arguments_(arguments), onLine_(std::move(onLine))
{
    context_ = new QObject;
    context_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, context_, &QObject::deleteLater);
    thread_.start();
}

SimulatorProcess::~SimulatorProcess()
{
    QMetaObject::invokeMethod(
        context_,
        [this] {
            if (!process_)
                return;
            // SIGTERM lets it close its connections cleanly.
            process_->terminate();
            if (!process_->waitForFinished(StopTimeoutMs))
                process_->kill();
            process_->waitForFinished(StopTimeoutMs);
        },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

bool SimulatorProcess::start(QString *error)
{
    QMetaObject::invokeMethod(
        context_,
        [this] {
            process_ = new QProcess(context_);
            process_->setProgram(QStringLiteral(COMZELTA_SIM_PROGRAM));
            process_->setArguments(QStringList{QStringLiteral("--address"), address_} + arguments_);
            process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            // A benchmark that crashes or is interrupted must not leave its address taken.
            process_->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
            QObject::connect(process_, &QProcess::readyReadStandardOutput, context_, [this] {
                const bool wasListening = listening_;
                readLines();
                if (listening_ && !wasListening)
                    answered_.release();
            });
            QObject::connect(process_, &QProcess::finished, context_, [this] {
                if (!listening_)
                    answered_.release();
            });
            process_->start();
            if (!process_->waitForStarted(StartTimeoutMs))
                answered_.release();
        },
        Qt::BlockingQueuedConnection);

    if (answered_.tryAcquire(1, StartTimeoutMs) && listening_)
        return true;
    if (error)
        *error = QStringLiteral("%1 on %2 did not start listening").arg(QStringLiteral(COMZELTA_SIM_PROGRAM), address_);
    return false;
}

void SimulatorProcess::readLines()
{
    const BenchClock::time_point readAt = BenchClock::now();
    partialLine_ += process_->readAllStandardOutput();
    qsizetype end = 0;
    while ((end = partialLine_.indexOf('\n')) >= 0) {
        const QByteArray line = partialLine_.left(end);
        partialLine_.remove(0, end + 1);
        if (line.startsWith("listening on "))
            listening_ = true;
        if (onLine_)
            onLine_(line, readAt);
    }
}
