#include "cli_run.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

CliRun runCli(const QStringList &arguments, const QString &password, const QString &dataHome)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("COMZELTA_PASSWORD"));
    if (!password.isNull())
        environment.insert(QStringLiteral("COMZELTA_PASSWORD"), password);
    environment.insert(QStringLiteral("COMZELTA_DATA_DIR"), dataHome + QStringLiteral("/ComZelta"));

    CliRun result;
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(COMZELTA_CLI), arguments);
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 30000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.elapsedMs = clock.elapsed();
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}
