#include "closing_month/tool_run.h"

#include "common/elapsed.h"

#include <QProcess>
#include <QStandardPaths>

#include <cstdio>

namespace {

void start(QProcess &process, const ToolCommand &command, const QString &script)
{
    process.start(command.program, command.arguments);
    process.write(script.toUtf8());
    process.closeWriteChannel();
}

} // namespace

// Both stop at the first error (-bail, ON_ERROR_STOP), so that a failing script is not timed as a
// fast one.
ToolCommand sqliteCommand(const QString &program, const QString &path)
{
    return {QStringLiteral("sqlite3"), program, {QStringLiteral("-readonly"), QStringLiteral("-bail"), QStringLiteral("-csv"), path}};
}

std::optional<ToolCommand> psqlCommand(const QString &url)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("psql"));
    if (program.isEmpty()) {
        std::fprintf(stderr, "bench_closing_month: psql is not installed (scripts/install-deps)\n");
        return std::nullopt;
    }
    return ToolCommand{QStringLiteral("psql"), program,
                       {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"), QStringLiteral("-t"),
                        QStringLiteral("-F,"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-d"), url}};
}

std::optional<QByteArray> toolOutput(const ToolCommand &command, const QString &script)
{
    QProcess process;
    start(process, command, script + QStringLiteral(";\n"));
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(command.name),
                     qPrintable(QString::fromUtf8(process.readAllStandardError()).trimmed()));
        return std::nullopt;
    }
    return process.readAllStandardOutput();
}

double toolRunMs(const ToolCommand &command, const QString &script)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    const BenchClock::time_point before = BenchClock::now();
    start(process, command, script + QStringLiteral(";\n"));
    process.waitForFinished(-1);
    return millisecondsBetween(before, BenchClock::now());
}
