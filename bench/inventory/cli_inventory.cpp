#include "inventory/cli_inventory.h"

#include "common/elapsed.h"
#include "common/event_wait.h"

#include <QProcess>

namespace {

// How the password reaches comzelta-cli when no file is given.
constexpr char PasswordVariable[] = "COMZELTA_PASSWORD";

// Reads the log lines of the run as they arrive and notes when the ones that mark its steps came.
class LogTimer {
public:
    explicit LogTimer(CliInventoryRun &run) : run_(run) {}

    void start() { startedAt_ = BenchClock::now(); }
    BenchClock::time_point startedAt() const { return startedAt_; }

    void feed(const QByteArray &bytes)
    {
        const double ms = millisecondsBetween(startedAt_, BenchClock::now());
        partial_ += bytes;
        qsizetype end = 0;
        while ((end = partial_.indexOf('\n')) >= 0) {
            note(partial_.left(end), ms);
            partial_.remove(0, end + 1);
        }
    }

private:
    void note(const QByteArray &line, double ms)
    {
        const bool transmitted = line.startsWith("Transmitiu: ");
        if (transmitted)
            ++run_.transmissions;
        if (transmitted && !run_.firstTransmissionMs)
            run_.firstTransmissionMs = ms;
        if (transmitted && line.contains("<STX>MA<ETX>") && !run_.inventoryRequestMs)
            run_.inventoryRequestMs = ms;
        if (!run_.inventoryRequestMs)
            return;
        if (line == "Transmitiu: ACK")
            ++run_.acknowledgedReplies;
        else if (line.startsWith("Recebeu: ") && line.contains("<STX>MA")) {
            ++run_.replies;
            run_.lastReplyMs = ms;
        }
    }

    CliInventoryRun &run_;
    BenchClock::time_point startedAt_;
    QByteArray partial_;
};

} // namespace

CliInventoryRun runCliInventory(const QString &station, const QString &password, const QString &dataDirectory,
                                int timeoutMs)
{
    CliInventoryRun run;
    QProcess process;
    process.setProgram(QStringLiteral(COMZELTA_CLI_PROGRAM));
    process.setArguments({QStringLiteral("--log"), QStringLiteral("--data-dir"), dataDirectory, station,
                          QStringLiteral("inventory")});
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(PasswordVariable), password);
    process.setProcessEnvironment(environment);

    bool exited = false;
    LogTimer log(run);
    QObject::connect(&process, &QProcess::readyReadStandardError, [&] { log.feed(process.readAllStandardError()); });
    // The report itself is not timed; reading it keeps the pipe from filling.
    QObject::connect(&process, &QProcess::readyReadStandardOutput, [&] { process.readAllStandardOutput(); });
    QObject::connect(&process, &QProcess::finished, [&] {
        run.exitMs = millisecondsBetween(log.startedAt(), BenchClock::now());
        exited = true;
    });
    QObject::connect(&process, &QProcess::errorOccurred, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            exited = true;
    });

    log.start();
    process.start();
    if (!waitUntil([&] { return exited; }, timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.exitMs.reset();
        run.problem = QStringLiteral("did not exit within %1 ms").arg(timeoutMs);
        return run;
    }
    log.feed(process.readAllStandardError());
    if (process.exitStatus() != QProcess::NormalExit || process.error() == QProcess::FailedToStart) {
        run.exitMs.reset();
        run.problem = QStringLiteral("%1: %2").arg(QStringLiteral(COMZELTA_CLI_PROGRAM), process.errorString());
        return run;
    }
    run.exitCode = process.exitCode();
    if (run.exitCode != 0)
        run.problem = QStringLiteral("exit status %1").arg(run.exitCode);
    return run;
}
