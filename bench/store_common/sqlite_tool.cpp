#include "store_common/sqlite_tool.h"

#include "store/sql_dialect.h"
#include "store_common/median_time.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

#include <cstdio>

QString sqliteTool()
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (tool.isEmpty())
        std::fprintf(stderr, "%s: the sqlite3 tool is not installed (scripts/install-deps)\n",
                     qPrintable(QCoreApplication::applicationName()));
    return tool;
}

double sqliteToolMs(const QString &tool, const QString &path, const QStringList &statements,
                    const QVariantMap &parameters, int runs)
{
    QString script;
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) {
        const QString value = it.value().typeId() == QMetaType::QString ? QStringLiteral("\"'%1'\"").arg(it.value().toString())
                                                                         : it.value().toString();
        script += QStringLiteral(".parameter set :%1 %2\n").arg(it.key(), value);
    }
    for (const QString &sql : statements)
        script += sql + QStringLiteral(";\n");
    return medianMs(runs, [&] {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(tool, {QStringLiteral("-readonly"), path});
        process.write(script.toUtf8());
        process.closeWriteChannel();
        process.waitForFinished(-1);
    });
}

QVariantMap tankParameters(const SeriesRequest &request)
{
    const SqlDialect &dialect = sqliteDialect();
    return {{QStringLiteral("station"), request.stationId},
            {QStringLiteral("tank"), request.tank.value_or(0)},
            {QStringLiteral("from"), dialect.timeValue(request.from)},
            {QStringLiteral("to"), dialect.timeValue(request.to)}};
}

void printBesideTool(const char *what, double oursMs, double toolMs)
{
    const double target = 2 * toolMs + 100;
    std::printf("  %-44s %9.1f ms   sqlite3 %7.1f ms   ratio %5.2f   target <= %6.1f ms: %s\n", what, oursMs, toolMs,
                oursMs / toolMs, target, oursMs <= target ? "met" : "NOT met");
}
