// The real comzelta-poll over a thousand stations from its one thread, against one comzelta-sim
// process holding a 4-tank station on each of 1,000 loopback addresses: the round into SQLite and
// into PostgreSQL, the round with a tenth of the stations failing, and one station at a time as
// the baseline; each timed from the program's start to its exit, beside the protocol floor of one
// station's round, and each checked against what it stored.
#include "fleet_files.h"
#include "fleet_simulator.h"
#include "interruption.h"
#include "poller_run.h"
#include "postgres_server.h"
#include "stored_rows.h"

#include "session/controller_session.h"
#include "store/database_location.h"
#include "store/history_store.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

const QHostAddress FleetStart(QStringLiteral("127.1.0.1"));
const QHostAddress RefusingStart(QStringLiteral("127.1.4.1"));  // nothing listens there
const QHostAddress SilentStart(QStringLiteral("127.1.5.1"));
constexpr int MostStations = 1000;  // so that the fleet ends before the refusing addresses
constexpr int BaselineStations = 20;

constexpr int ConnectTimeoutMs = 2000;
constexpr int ReplyTimeoutMs = 2000;
constexpr int Retries = 1;
constexpr int BackoffMs = 500;

constexpr double RatioTarget = 1.5;
constexpr double MemoryTargetMB = 150;
constexpr int RoundTimeoutMs = 10 * 60 * 1000;

QStringList timingOptions()
{
    return {QStringLiteral("--connect-timeout-ms"), QString::number(ConnectTimeoutMs),
            QStringLiteral("--reply-timeout-ms"),   QString::number(ReplyTimeoutMs),
            QStringLiteral("--retries"),            QString::number(Retries),
            QStringLiteral("--backoff-ms"),         QString::number(BackoffMs)};
}

struct Round {
    PollerRun run;
    std::optional<StoredRows> stored;
    QString storeProblem;
};

// `comzelta-poll --once` over `addresses` with a data directory of its own: poll.ini, the fleet
// file, and the history too unless `databaseUrl` names one.
Round pollFleet(const QString &directory, const QList<QHostAddress> &addresses,
                const std::optional<QString> &databaseUrl, const QStringList &options)
{
    Round round;
    const QString fleetFile = directory + QStringLiteral("/frota.csv");
    const QString passwords = directory + QStringLiteral("/poll.ini");
    if (!QDir().mkpath(directory) || !writePrivateFile(passwords, "[geral]\nsenha = SENHA\n")
        || !writePrivateFile(fleetFile, fleetFileText(addresses))) {
        round.storeProblem = QStringLiteral("cannot write the poller's files in %1").arg(directory);
        return round;
    }
    QStringList arguments{QStringLiteral("--once"), QStringLiteral("--data-dir"), directory,
                          QStringLiteral("--stations"), fleetFile};
    if (databaseUrl)
        arguments << QStringLiteral("--database") << *databaseUrl;
    round.run = runPoller(arguments + timingOptions() + options, RoundTimeoutMs);
    std::optional<DatabaseLocation> location = DatabaseLocation(HistoryStore::filePathIn(directory + QLatin1Char('/')));
    if (databaseUrl) {
        const Result<DatabaseLocation, DatabaseUrlProblem> parsed = parseDatabaseUrl(*databaseUrl);
        location = parsed ? std::optional(*parsed) : std::nullopt;
    }
    if (location)
        round.stored = countStoredRows(*location, &round.storeProblem);
    else
        round.storeProblem = QStringLiteral("not a database URL: %1").arg(*databaseUrl);
    return round;
}

double ratio(double ms, double floorMs)
{
    return ms / floorMs;
}

QString roundLineShortened(const QString &line)
{
    // A failing round lists every failed station between parentheses.
    const qsizetype open = line.indexOf(QStringLiteral(" ("));
    const qsizetype close = line.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open)
        return line;
    return line.left(open) + QStringLiteral(" (…)") + line.mid(close + 1);
}

void printTimes(const Round &round, double floorMs, int expectedExit)
{
    const PollerRun &run = round.run;
    if (!run.exited) {
        if (interrupted())
            std::printf("  interrupted: the poller was stopped\n");
        else
            std::printf("  the poller did not exit by itself within %d s\n", RoundTimeoutMs / 1000);
        return;
    }
    std::printf("  start to exit %lld ms = %.2f x floor; start to round line %lld ms",
                static_cast<long long>(run.elapsedMs), ratio(double(run.elapsedMs), floorMs),
                static_cast<long long>(run.roundLineAtMs));
    if (run.roundSeconds)
        std::printf("; round %.1f s = %.2f x floor", *run.roundSeconds, ratio(*run.roundSeconds * 1000, floorMs));
    std::printf("\n  \"%s\", exit status %d%s\n", qPrintable(roundLineShortened(run.roundLine)), run.exitCode,
                run.exitCode == expectedExit ? "" : qPrintable(QStringLiteral(" (expected %1)").arg(expectedExit)));
}

// Expected against found, and a MISMATCH line for each count that differs.
bool printStored(const Round &round, int read, int failed)
{
    if (!round.stored) {
        std::printf("  MISMATCH: the history could not be read: %s\n", qPrintable(round.storeProblem));
        return false;
    }
    const StoredRows &found = *round.stored;
    const struct {
        const char *what;
        qint64 expected;
        qint64 found;
    } counts[] = {
        {"measurements", qint64(read) * TanksPerStation, found.measurements},
        {"inventories", read, found.inventories},
        {"inventory items", qint64(read) * TanksPerStation, found.inventoryItems},
        {"sensor readings", read, found.sensorReadings},
        {"failed polls", failed, found.failedPolls},
    };
    std::printf("  stored (expected/found):");
    for (const auto &count : counts)
        std::printf(" %s %lld/%lld;", count.what, static_cast<long long>(count.expected),
                    static_cast<long long>(count.found));
    std::printf("\n");
    bool matching = true;
    for (const auto &count : counts) {
        if (count.expected == count.found)
            continue;
        matching = false;
        std::printf("  MISMATCH: %s: expected %lld, found %lld\n", count.what, static_cast<long long>(count.expected),
                    static_cast<long long>(count.found));
    }
    return matching;
}

// What the poller said on standard error, where it should have said nothing.
void printProblems(const PollerRun &run, int shown)
{
    for (qsizetype i = 0; i < std::min<qsizetype>(shown, run.problems.size()); ++i)
        std::printf("  poller: %s\n", qPrintable(run.problems.at(i)));
    if (run.problems.size() > shown)
        std::printf("  poller: ... %lld lines more\n", static_cast<long long>(run.problems.size() - shown));
}

double megabytes(long kib)
{
    return double(kib) * 1024 / 1e6;
}

struct Verdicts {
    QStringList lines;
    void add(const PollerRun &run, const QString &what, double value, double target, const char *unit,
             int decimals = 2)
    {
        if (!run.exited) {
            lines << what + QStringLiteral(": not measured, the poller did not exit by itself");
            return;
        }
        lines << QStringLiteral("%1: %2%3 against <= %4%3: %5")
                     .arg(what)
                     .arg(value, 0, 'f', decimals)
                     .arg(QString::fromLatin1(unit))
                     .arg(target)
                     .arg(value <= target ? QStringLiteral("met") : QStringLiteral("NOT MET"));
    }
};

// The fleet's next round into the history the first one filled: what a scheduled poller does every
// time after its first, the stations known to the history.
void nextRound(const QString &directory, const QList<QHostAddress> &fleet, const std::optional<QString> &url,
               const QString &engine, double floorMs, Verdicts &verdicts, bool &allStored)
{
    std::printf("  the next round into the same history, its stations known:\n");
    const Round again = pollFleet(directory, fleet, url, {});
    printTimes(again, floorMs, 0);
    printProblems(again.run, 5);
    allStored = printStored(again, 2 * int(fleet.size()), 0) && allStored;
    verdicts.add(again.run, QStringLiteral("%1 stations, %2, the next round, start to exit").arg(fleet.size()).arg(engine),
                 ratio(double(again.run.elapsedMs), floorMs), RatioTarget, " x floor");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("comzelta-poll over a fleet of simulated stations."));
    parser.addHelpOption();
    const QCommandLineOption stationsOption(QStringLiteral("stations"),
                                            QStringLiteral("Stations in the fleet, %1 to %2 (default %2).")
                                                .arg(BaselineStations)
                                                .arg(MostStations),
                                            QStringLiteral("N"), QString::number(MostStations));
    const QCommandLineOption skipPostgres(QStringLiteral("skip-postgres"), QStringLiteral("No PostgreSQL round."));
    parser.addOptions({stationsOption, skipPostgres});
    parser.process(app);
    bool ok = false;
    const int stations = parser.value(stationsOption).toInt(&ok);
    if (!ok || stations < BaselineStations || stations > MostStations) {
        std::fprintf(stderr, "bench_poll_fleet: --stations needs a number from %d to %d\n", BaselineStations,
                     MostStations);
        return 2;
    }
    noteTerminationSignals();

    QTemporaryDir work;
    const QString stationFile = work.path() + QStringLiteral("/posto.ini");
    if (!work.isValid() || !writePrivateFile(stationFile, stationFileText())) {
        std::fprintf(stderr, "bench_poll_fleet: cannot write in a temporary directory\n");
        return 1;
    }
    const QList<QHostAddress> fleet = addressesFrom(FleetStart, stations);
    FleetSimulator simulator(FleetStart, stations, {QStringLiteral("--station"), stationFile});
    QString why;
    if (!simulator.start(&why)) {
        std::fprintf(stderr, "bench_poll_fleet: %s\n", qPrintable(why));
        return 1;
    }

    // The floor: one station's round through the program, its transmissions counted in its log.
    const QString logFile = work.path() + QStringLiteral("/floor.log");
    const Round one = pollFleet(work.path() + QStringLiteral("/floor"), fleet.mid(0, 1), std::nullopt,
                                {QStringLiteral("--log"), logFile});
    QFile log(logFile);
    const int transmissions = log.open(QIODevice::ReadOnly) ? int(log.readAll().count("\tTransmitiu: ")) : 0;
    if (!one.run.exited || one.run.exitCode != 0 || transmissions < 2) {
        std::fprintf(stderr, "bench_poll_fleet: the one-station round failed (exit %d, %d transmissions logged)\n",
                     one.run.exitCode, transmissions);
        printProblems(one.run, 10);
        return 1;
    }
    const double floorMs = double(transmissions - 1) * ControllerSession::DefaultPauseMs;

    std::printf("bench_poll_fleet: the real comzelta-poll --once, one thread, against comzelta-sim --addresses %s "
                "(%d tanks a station, answering at once)\n",
                qPrintable(simulator.range()), TanksPerStation);
    std::printf("options: %s\n", qPrintable(timingOptions().join(QLatin1Char(' '))));
    std::printf("protocol floor: one station's round run through the program with --log: %d transmissions logged "
                "(\"Transmitiu\"), the first at once, %d paced x %d ms = %.0f ms\n",
                transmissions, transmissions - 1, ControllerSession::DefaultPauseMs, floorMs);
    std::printf("peak RSS: the poller's VmHWM from /proc/PID/status, read every 10 ms and at its round line, the last "
                "reading before it exits\n\n");
    std::printf("1 station (the floor's run)\n");
    printTimes(one, floorMs, 0);

    Verdicts verdicts;
    bool allStored = true;

    std::printf("\n%d stations at once, SQLite (Historico.sqlite in a fresh data directory)\n", stations);
    const Round sqlite = pollFleet(work.path() + QStringLiteral("/sqlite"), fleet, std::nullopt, {});
    printTimes(sqlite, floorMs, 0);
    std::printf("  peak RSS %.1f MB\n", megabytes(sqlite.run.peakKiB));
    printProblems(sqlite.run, 5);
    allStored = printStored(sqlite, stations, 0) && allStored;
    verdicts.add(sqlite.run, QStringLiteral("%1 stations, SQLite, start to exit").arg(stations),
                 ratio(double(sqlite.run.elapsedMs), floorMs), RatioTarget, " x floor");
    verdicts.add(sqlite.run, QStringLiteral("%1 stations, SQLite, peak RSS").arg(stations),
                 megabytes(sqlite.run.peakKiB), MemoryTargetMB, " MB", 1);
    if (!interrupted())
        nextRound(work.path() + QStringLiteral("/sqlite"), fleet, std::nullopt, QStringLiteral("SQLite"), floorMs,
                  verdicts, allStored);

    std::printf("\n%d stations at once, PostgreSQL (a server of its own, a fresh database)\n", stations);
    if (parser.isSet(skipPostgres)) {
        std::printf("  skipped: --skip-postgres\n");
    } else if (!interrupted()) {
        const QString state = work.path() + QStringLiteral("/postgres");
        PostgresServer server(state);
        const std::optional<QString> url = server.start(&why);
        if (!url) {
            std::printf("  skipped: no PostgreSQL server could start here:\n    %s\n",
                        qPrintable(why.replace(QLatin1Char('\n'), QStringLiteral("\n    "))));
        } else {
            const Round postgres = pollFleet(work.path() + QStringLiteral("/postgresql"), fleet, url, {});
            printTimes(postgres, floorMs, 0);
            std::printf("  peak RSS %.1f MB\n", megabytes(postgres.run.peakKiB));
            printProblems(postgres.run, 5);
            allStored = printStored(postgres, stations, 0) && allStored;
            verdicts.add(postgres.run, QStringLiteral("%1 stations, PostgreSQL, start to exit").arg(stations),
                         ratio(double(postgres.run.elapsedMs), floorMs), RatioTarget, " x floor");
            if (!interrupted())
                nextRound(work.path() + QStringLiteral("/postgresql"), fleet, url, QStringLiteral("PostgreSQL"), floorMs,
                          verdicts, allStored);
        }
    }

    const int failing = stations / 10;
    const int refusing = failing / 2;
    const int silent = failing - refusing;
    std::printf("\n%d stations, %d failing: %d addresses with nothing listening (%s on), %d on comzelta-sim --silent\n",
                stations, failing, refusing, qPrintable(RefusingStart.toString()), silent);
    if (!interrupted()) {
        FleetSimulator silentStations(SilentStart, silent, {QStringLiteral("--silent")});
        if (!silentStations.start(&why)) {
            std::printf("  not run: %s\n", qPrintable(why));
        } else {
            const QList<QHostAddress> mixed = fleet.mid(0, stations - failing)
                + addressesFrom(RefusingStart, refusing) + addressesFrom(SilentStart, silent);
            // A silent station's every attempt waits out the reply timeout of "ID01"; a refused
            // one fails at once. Both wait out the back-offs; loopback accepts or refuses at once,
            // so the connect timeout never runs.
            int backoffs = 0;
            for (int retry = 0; retry < Retries; ++retry)
                backoffs += BackoffMs << retry;
            const int silentWait = (Retries + 1) * ReplyTimeoutMs + backoffs;
            const double boundMs = floorMs + std::max(silentWait, backoffs);
            std::printf("  expected bound: floor %.0f ms + a silent station's %d x %d ms reply timeout and %d ms of "
                        "back-off = %.0f ms (a refused station: %d ms of back-off)\n",
                        floorMs, Retries + 1, ReplyTimeoutMs, backoffs, boundMs, backoffs);
            const Round failingRound = pollFleet(work.path() + QStringLiteral("/failing"), mixed, std::nullopt, {});
            printTimes(failingRound, floorMs, 3);
            const qsizetype outOfCommunication =
                failingRound.run.problems.filter(QStringLiteral(": sem comunicação: ")).size();
            std::printf("  %lld stations reported out of communication; start to exit %s the bound\n",
                        static_cast<long long>(outOfCommunication),
                        failingRound.run.exited && failingRound.run.elapsedMs <= boundMs ? "within" : "BEYOND");
            allStored = printStored(failingRound, stations - failing, failing) && allStored;
            verdicts.add(failingRound.run,
                         QStringLiteral("%1 stations, %2 failing, start to exit").arg(stations).arg(failing),
                         double(failingRound.run.elapsedMs), boundMs, " ms", 0);
        }
    }

    std::printf("\n--parallel 1, the baseline: %d stations measured, times %.0f for %d\n", BaselineStations,
                double(stations) / BaselineStations, stations);
    if (!interrupted()) {
        const Round serial = pollFleet(work.path() + QStringLiteral("/serial"), fleet.mid(0, BaselineStations),
                                       std::nullopt, {QStringLiteral("--parallel"), QStringLiteral("1")});
        printTimes(serial, floorMs, 0);
        const double estimateMs = double(serial.run.elapsedMs) * stations / BaselineStations;
        std::printf("  estimated for %d stations: %.0f ms = %.1f x floor\n", stations, estimateMs,
                    ratio(estimateMs, floorMs));
        allStored = printStored(serial, BaselineStations, 0) && allStored;
    }

    std::printf("\ntargets:\n");
    for (const QString &line : verdicts.lines)
        std::printf("  %s\n", qPrintable(line));
    std::printf("  rows stored: %s\n", allStored ? "as the simulators hold" : "MISMATCH (see above)");
    if (interrupted()) {
        std::printf("interrupted\n");
        return 1;
    }
    return 0;
}
