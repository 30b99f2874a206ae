// A month of daily closings for a fleet: ClosingBook::month() for every station, on a
// connection opened as comzelta-cli opens it, beside the engine's own tool running a script that
// computes the same figures (book_sql.h); on SQLite, then on a private PostgreSQL server.
#include "closing/closing_book.h"
#include "closing_month/book_sql.h"
#include "closing_month/figure_check.h"
#include "closing_month/month_history.h"
#include "closing_month/tool_run.h"
#include "common/elapsed.h"
#include "poll_fleet/postgres_server.h"
#include "store/history_file.h"
#include "store/history_store.h"
#include "store/sql_dialect.h"
#include "store/store_texts.h"
#include "store_common/bench_readings.h"
#include "store_common/sqlite_tool.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

const QString Connection = QStringLiteral("bench");
const QString Filler = QStringLiteral("fill");

bool open(const QString &name, const DatabaseLocation &location)
{
    if (const Result<void, HistoryOpenProblem> opened = openForWriting(name, location, WriteConnectionSettings{}); !opened) {
        std::fprintf(stderr, "bench_closing_month: %s\n", qPrintable(historyOpenProblemText(opened.error())));
        closeConnection(name);
        return false;
    }
    return true;
}

// The history through the store's own migrations, then the month's rows in bulk.
bool fill(const DatabaseLocation &location, const MonthPlan &plan)
{
    if (!open(Filler, location))
        return false;
    const BenchClock::time_point started = BenchClock::now();
    bool filled = false;
    {
        QSqlDatabase db = QSqlDatabase::database(Filler, false);
        filled = fillMonth(db, plan);
        // A server's autovacuum would have analysed tables this size long before a month closed.
        if (filled && dialectOf(db).driver == postgresDialect().driver)
            QSqlQuery(db).exec(QStringLiteral("ANALYZE"));
    }
    closeConnection(Filler);
    if (filled)
        std::printf("  history filled in %.1f s\n", millisecondsBetween(started, BenchClock::now()) / 1000.0);
    return filled;
}

// Every station's month; the books of the stations in `kept` are kept there.
bool closeMonths(const QSqlDatabase &db, const MonthPlan &plan, QMap<qint64, QList<MonthProduct>> &kept)
{
    for (qint64 station = 1; station <= plan.stations; ++station) {
        ClosingBook book(db, station, planZone());
        const Result<QList<MonthProduct>, QSqlError> month = book.month(plan.first, plan.last);
        if (!month) {
            std::fprintf(stderr, "bench_closing_month: station %lld: %s\n", station, qPrintable(month.error().text()));
            return false;
        }
        if (kept.contains(station))
            kept[station] = *month;
    }
    return true;
}

void printCheck(const ToolBook &tool, const QMap<qint64, QList<MonthProduct>> &ours, const MonthPlan &plan,
                const QString &toolName)
{
    const qsizetype productDays = (plan.first.daysTo(plan.last) + 1) * TanksPerStation;
    const qsizetype expected = plan.stations * productDays;
    const CheckResult check = compareBooks(ours, tool);
    // Five figures a product a day: a book with days missing must not pass for one that agrees.
    const bool whole = check.compared == ours.size() * productDays * 5;
    QStringList stations;
    for (const qint64 id : ours.keys())
        stations << QString::number(id);
    std::printf("  %s gave %lld rows of %lld; stations %s checked: %d of %d figures agree%s\n", qPrintable(toolName),
                qlonglong(tool.size()), qlonglong(expected), qPrintable(stations.join(QStringLiteral(", "))), check.agreed,
                check.compared, whole && check.agreed == check.compared ? "" : "  MISMATCH");
    for (const QString &line : check.disagreements)
        std::printf("    %s\n", qPrintable(line));
}

// The book and the tool alternately, each once untimed first, so that both see the same machine.
void measure(const char *engine, const DatabaseLocation &location, const ToolCommand &tool, const MonthPlan &plan, int runs)
{
    if (!open(Connection, location))
        return;
    {
        const QSqlDatabase db = QSqlDatabase::database(Connection, false);
        const QString script = monthBookSql(dialectOf(db), plan);
        QMap<qint64, QList<MonthProduct>> kept{{1, {}}, {(plan.stations + 1) / 2, {}}, {plan.stations, {}}};
        const std::optional<QByteArray> rows = toolOutput(tool, script);
        if (!rows || !closeMonths(db, plan, kept)) {
            closeConnection(Connection);
            return;
        }
        printCheck(parseToolBook(*rows), kept, plan, tool.name);
        std::vector<double> ours;
        std::vector<double> theirs;
        for (int run = 0; run < runs; ++run) {
            const BenchClock::time_point before = BenchClock::now();
            closeMonths(db, plan, kept);
            ours.push_back(millisecondsBetween(before, BenchClock::now()));
            theirs.push_back(toolRunMs(tool, script));
            std::printf("  run %d: book %.1f ms, %s %.1f ms\n", run + 1, ours.back(), qPrintable(tool.name), theirs.back());
            std::fflush(stdout);
        }
        const double book = quantile(ours, 0.5);
        const double yardstick = quantile(theirs, 0.5);
        const double target = 2 * yardstick + 100;
        std::printf("%s, median of %d: ClosingBook::month() %.1f ms (%.2f ms a station), %s %.1f ms; ratio %.2f; "
                    "target <= %.1f ms, %.2f of it: %s\n",
                    engine, runs, book, book / plan.stations, qPrintable(tool.name), yardstick, book / yardstick, target,
                    book / target, book <= target ? "met" : "NOT met");
    }
    closeConnection(Connection);
}

void measureSqlite(const QString &directory, const MonthPlan &plan, int runs)
{
    const QString program = sqliteTool();
    if (program.isEmpty())
        return;
    const QString path = HistoryStore::filePathIn(directory + QLatin1Char('/'));
    std::printf("SQLite (%s):\n", qPrintable(path));
    if (!fill(path, plan))
        return;
    std::printf("  file %.1f MB\n", QFileInfo(path).size() / 1e6);
    measure("SQLite", path, sqliteCommand(program, path), plan, runs);
}

void measurePostgres(const QString &directory, const MonthPlan &plan, int runs)
{
    PostgresServer server(directory + QStringLiteral("/postgres"));
    QString why;
    const std::optional<QString> url = server.start(&why);
    if (!url) {
        std::printf("PostgreSQL skipped: %s\n", qPrintable(why));
        return;
    }
    const Result<DatabaseLocation, DatabaseUrlProblem> location = parseDatabaseUrl(*url);
    const std::optional<ToolCommand> tool = psqlCommand(*url);
    if (!location || !tool)
        return;
    std::printf("PostgreSQL (%s, the server on the same cores):\n", qPrintable(*url));
    if (fill(*location, plan))
        measure("PostgreSQL", *location, *tool, plan, runs);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A month of daily closings for a fleet beside sqlite3 and psql."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("stations"), QStringLiteral("Stations in the history (1000)."), QStringLiteral("n"),
                      QStringLiteral("1000")});
    parser.addOption({QStringLiteral("runs"), QStringLiteral("Timed runs of each side (3)."), QStringLiteral("n"),
                      QStringLiteral("3")});
    parser.addOption({QStringLiteral("sqlite-only"), QStringLiteral("Leave PostgreSQL out.")});
    parser.addOption({QStringLiteral("print-sql"), QStringLiteral("Print the sqlite3 script and stop.")});
    parser.process(app);
    MonthPlan plan;
    plan.stations = std::max(1, parser.value(QStringLiteral("stations")).toInt());
    if (parser.isSet(QStringLiteral("print-sql"))) {
        std::printf("%s;\n", qPrintable(monthBookSql(sqliteDialect(), plan)));
        return 0;
    }
    const int runs = std::max(1, parser.value(QStringLiteral("runs")).toInt());

    QTemporaryDir directory;
    std::printf("%d stations x %d tanks (one product each), %s to %s\n", plan.stations, TanksPerStation,
                qPrintable(plan.first.toString(Qt::ISODate)), qPrintable(plan.last.toString(Qt::ISODate)));
    measureSqlite(directory.path(), plan, runs);
    if (!parser.isSet(QStringLiteral("sqlite-only")))
        measurePostgres(directory.path(), plan, runs);
    return 0;
}
