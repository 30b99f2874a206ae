// The history window's question for one tank over 1 and 10 years of hourly readings, timed
// beside the sqlite3 tool running the very same SQL on the very same file.
#include "common/elapsed.h"
#include "store/history_file.h"
#include "store/history_reader.h"
#include "store/history_sql.h"
#include "store/history_store.h"
#include "store/point_reduction.h"
#include "store/sql_dialect.h"
#include "store_common/bench_readings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

constexpr int TenYearsOfHours = 87600;
constexpr int ChartColumns = 800;
const QString Connection = QStringLiteral("bench");

// Ten years of hourly readings of `tanks` tanks, kept through the store. A day of readings goes
// in one call, so the file fills in seconds rather than at one commit per hour.
bool fill(const QString &path, int tanks)
{
    HistoryStore store(path);
    quint64 last = 0;
    quint64 committed = 0;
    QObject::connect(&store, &HistoryStore::written, [&](quint64 sequence) { committed = sequence; });
    for (int day = 0; day < TenYearsOfHours / 24; ++day) {
        QList<MeasurementReading> readings;
        for (int hour = day * 24; hour < day * 24 + 24; ++hour)
            for (int tank = 1; tank <= tanks; ++tank)
                readings.append(hourlyReading(tank, hour));
        last = store.keepInventory(benchStation(), readings, Origin::Poll);
        while (last > committed + 32)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    while (committed < last && !store.writesAreFailing())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (store.writesAreFailing())
        std::fprintf(stderr, "bench_store_query: %s\n", qPrintable(store.failureReason()));
    return committed == last;
}

double medianOf(int runs, const std::function<void()> &run)
{
    run();  // warms the page cache, as a window asked twice would find it
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const BenchClock::time_point before = BenchClock::now();
        run();
        ms.push_back(millisecondsBetween(before, BenchClock::now()));
    }
    return quantile(ms, 0.5);
}

// The same SQL through the sqlite3 tool, its parameters set with .parameter, output discarded;
// timed from starting the tool to its exit.
double toolMs(const QString &tool, const QString &path, const QString &sql, const QVariantMap &parameters, int runs)
{
    QString script;
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) {
        const QString value = it.value().typeId() == QMetaType::QString ? QStringLiteral("\"'%1'\"").arg(it.value().toString())
                                                                         : it.value().toString();
        script += QStringLiteral(".parameter set :%1 %2\n").arg(it.key(), value);
    }
    script += sql + QStringLiteral(";\n");
    return medianOf(runs, [&] {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(tool, {QStringLiteral("-readonly"), path});
        process.write(script.toUtf8());
        process.closeWriteChannel();
        process.waitForFinished(-1);
    });
}

double readerMs(HistoryReader &reader, const SeriesRequest &request, int runs)
{
    return medianOf(runs, [&] {
        bool answered = false;
        const QMetaObject::Connection connection =
            QObject::connect(&reader, &HistoryReader::seriesReady, [&](int, const SeriesPoints &) { answered = true; });
        reader.requestSeries(request);
        while (!answered)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QObject::disconnect(connection);
    });
}

void printRow(const char *what, double oursMs, double toolMs)
{
    const double target = 2 * toolMs + 100;
    std::printf("  %-44s %9.1f ms   sqlite3 %7.1f ms   ratio %5.2f   target <= %6.1f ms: %s\n", what, oursMs, toolMs,
                oursMs / toolMs, target, oursMs <= target ? "met" : "NOT met");
}

void measure(const QString &tool, const QString &path, HistoryReader &reader, int hours, int runs)
{
    const QSqlDatabase db = QSqlDatabase::database(Connection, false);
    const SqlDialect &dialect = dialectOf(db);
    SeriesRequest request;
    request.stationId = 1;
    request.tank = 1;
    request.from = benchStart();
    request.to = benchStart().addSecs(qint64(hours) * 3600);
    const QVariantMap period{{QStringLiteral("station"), 1},
                             {QStringLiteral("tank"), 1},
                             {QStringLiteral("from"), dialect.timeValue(request.from)},
                             {QStringLiteral("to"), dialect.timeValue(request.to)}};
    QVariantMap page = period;
    page.insert(QStringLiteral("limit"), hours);
    page.insert(QStringLiteral("offset"), 0);

    SeriesPoints points;
    QSqlError error;
    const double seriesMs = medianOf(runs, [&] { points = querySeries(db, request, &error).value_or(SeriesPoints{}); });
    qsizetype rowCount = 0;
    const double rowsMs = medianOf(runs, [&] {
        rowCount = queryRows(db, request, 0, hours, &error).value_or(RowsPage{}).rows.size();
    });
    SeriesPoints reduced;
    const double reduceMs = medianOf(runs, [&] {
        reduced = reducedToColumns(points, request.from.toMSecsSinceEpoch(), request.to.toMSecsSinceEpoch(),
                                   ChartColumns);
    });
    std::printf("One tank, %d hourly readings (%lld points, %lld rows):\n", hours, qlonglong(points.size()),
                qlonglong(rowCount));
    printRow("series (querySeries)", seriesMs, toolMs(tool, path, HistorySql::tankSeries(request.value), period, runs));
    printRow("series through HistoryReader, round trip", readerMs(reader, request, runs),
             toolMs(tool, path, HistorySql::tankSeries(request.value), period, runs));
    printRow("every row of the period (queryRows)", rowsMs, toolMs(tool, path, HistorySql::tankRows(), page, runs));
    std::printf("  reduced to %d columns: %lld points in %.2f ms\n", ChartColumns, qlonglong(reduced.size()), reduceMs);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("History queries beside the sqlite3 tool."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("tanks"), QStringLiteral("Tanks in the file (8)."), QStringLiteral("n"),
                      QStringLiteral("8")});
    parser.addOption({QStringLiteral("runs"), QStringLiteral("Timed runs of each query (10)."), QStringLiteral("n"),
                      QStringLiteral("10")});
    parser.process(app);
    const int tanks = parser.value(QStringLiteral("tanks")).toInt();
    const int runs = parser.value(QStringLiteral("runs")).toInt();
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (tool.isEmpty()) {
        std::fprintf(stderr, "bench_store_query: the sqlite3 tool is not installed (scripts/install-deps)\n");
        return 1;
    }

    QTemporaryDir directory;
    const QString path = HistoryStore::filePathIn(directory.path() + QLatin1Char('/'));
    const BenchClock::time_point started = BenchClock::now();
    if (!fill(path, tanks))
        return 1;
    std::printf("File: %d tanks x %d hours = %d readings, %.1f MB, kept in %.1f s\n", tanks, TenYearsOfHours,
                tanks * TenYearsOfHours, QFileInfo(path).size() / 1e6,
                millisecondsBetween(started, BenchClock::now()) / 1000.0);
    if (const std::optional<QString> failure = openForReading(Connection, path, 1000)) {
        std::fprintf(stderr, "bench_store_query: %s\n", qPrintable(*failure));
        return 1;
    }
    {
        HistoryReader reader(path);
        measure(tool, path, reader, 8760, runs);
        measure(tool, path, reader, TenYearsOfHours, runs);
    }
    closeConnection(Connection);
    return 0;
}
