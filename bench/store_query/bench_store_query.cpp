// The history window's question for one tank over 1 and 10 years of hourly readings, timed
// beside the sqlite3 tool running the very same SQL on the very same file.
#include "common/elapsed.h"
#include "store/history_file.h"
#include "store/history_reader.h"
#include "store/history_sql.h"
#include "store/history_store.h"
#include "store/point_reduction.h"
#include "store_common/bench_readings.h"
#include "store_common/median_time.h"
#include "store_common/sqlite_tool.h"
#include "store_common/ten_years_file.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int ChartColumns = 800;
const QString Connection = QStringLiteral("bench");

double readerMs(HistoryReader &reader, const SeriesRequest &request, int runs)
{
    return medianMs(runs, [&] {
        bool answered = false;
        const QMetaObject::Connection connection =
            QObject::connect(&reader, &HistoryReader::seriesReady, [&](int, const SeriesPoints &) { answered = true; });
        reader.requestSeries(request);
        while (!answered)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QObject::disconnect(connection);
    });
}

void measure(const QString &tool, const QString &path, HistoryReader &reader, int hours, int runs)
{
    const QSqlDatabase db = QSqlDatabase::database(Connection, false);
    SeriesRequest request;
    request.stationId = 1;
    request.tank = 1;
    request.from = benchStart();
    request.to = benchStart().addSecs(qint64(hours) * 3600);
    const QVariantMap period = tankParameters(request);
    QVariantMap page = period;
    page.insert(QStringLiteral("limit"), hours);
    page.insert(QStringLiteral("offset"), 0);

    SeriesPoints points;
    const double seriesMs = medianMs(runs, [&] { points = querySeries(db, request).valueOr(SeriesPoints{}); });
    qsizetype rowCount = 0;
    const double rowsMs = medianMs(runs, [&] {
        rowCount = queryRows(db, request, 0, hours).valueOr(RowsPage{}).rows.size();
    });
    SeriesPoints reduced;
    const double reduceMs = medianMs(runs, [&] {
        reduced = reducedToColumns(points, request.from.toMSecsSinceEpoch(), request.to.toMSecsSinceEpoch(),
                                   ChartColumns);
    });
    std::printf("One tank, %d hourly readings (%lld points, %lld rows):\n", hours, qlonglong(points.size()),
                qlonglong(rowCount));
    const QStringList series{HistorySql::tankSeries(request.value)};
    printBesideTool("series (querySeries)", seriesMs, sqliteToolMs(tool, path, series, period, runs));
    printBesideTool("series through HistoryReader, round trip", readerMs(reader, request, runs),
                    sqliteToolMs(tool, path, series, period, runs));
    printBesideTool("every row of the period (queryRows)", rowsMs,
                    sqliteToolMs(tool, path, {HistorySql::tankRows()}, page, runs));
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
    const QString tool = sqliteTool();
    if (tool.isEmpty())
        return 1;

    QTemporaryDir directory;
    const QString path = HistoryStore::filePathIn(directory.path() + QLatin1Char('/'));
    const BenchClock::time_point started = BenchClock::now();
    if (!fillTenYears(path, tanks))
        return 1;
    std::printf("File: %d tanks x %d hours = %d readings, %.1f MB, kept in %.1f s\n", tanks, TenYearsOfHours,
                tanks * TenYearsOfHours, QFileInfo(path).size() / 1e6,
                millisecondsBetween(started, BenchClock::now()) / 1000.0);
    if (const auto opened = openForReading(Connection, path, 1000); !opened) {
        std::fprintf(stderr, "bench_store_query: %s\n", qPrintable(historyOpenProblemText(opened.error())));
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
