// What keeping readings costs: the time a keep call takes on the caller's (UI) thread, and the
// bytes the file grows by per reading.
#include "common/elapsed.h"
#include "store/history_store.h"
#include "store_common/bench_readings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr double TargetP99Ms = 0.2;
constexpr double TargetBytes = 200;
constexpr int Tanks = 16;
constexpr int InFlight = 64;  // calls queued at most, well inside the queue's bound

// Keeps `count` calls from `keep`, never more than InFlight ahead of the writer, and waits for
// the last commit. The time of each call on this thread goes to `callMs`, if given.
bool keepAll(HistoryStore &store, int count, const std::function<quint64(int)> &keep, std::vector<double> *callMs)
{
    quint64 committed = 0;
    QObject::connect(&store, &HistoryStore::written, [&](quint64 sequence) { committed = sequence; });
    quint64 last = 0;
    for (int i = 0; i < count; ++i) {
        while (last >= committed + InFlight)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const BenchClock::time_point before = BenchClock::now();
        last = keep(i);
        if (callMs)
            callMs->push_back(millisecondsBetween(before, BenchClock::now()));
    }
    while (committed < last && !store.writesAreFailing())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return committed == last;
}

void uiThreadCost(int readings)
{
    QTemporaryDir directory;
    std::vector<MeasurementReading> prepared;
    for (int i = 0; i < readings; ++i)
        prepared.push_back(hourlyReading(i % Tanks + 1, i / Tanks, "MT"));
    std::vector<double> callMs;
    const BenchClock::time_point started = BenchClock::now();
    {
        HistoryStore store(HistoryStore::filePathIn(directory.path() + QLatin1Char('/')));
        const StationIdentity station = benchStation();
        if (!keepAll(store, readings,
                     [&](int i) { return store.keepMeasurement(station, prepared[std::size_t(i)], Origin::Poll); },
                     &callMs)) {
            std::printf("writes failed: %s\n", qPrintable(store.failureReason()));
            return;
        }
    }
    const double seconds = millisecondsBetween(started, BenchClock::now()) / 1000.0;
    const double p99 = quantile(callMs, 0.99);
    std::printf("UI-thread cost of keepMeasurement, %d readings (one transaction each):\n", readings);
    std::printf("  p50 %.4f ms  p99 %.4f ms  max %.4f ms  (target p99 <= %.1f ms: %s)\n", quantile(callMs, 0.5), p99,
                quantile(callMs, 1.0), TargetP99Ms, p99 <= TargetP99Ms ? "met" : "NOT met");
    std::printf("  written in %.1f s: %.0f commits/s\n", seconds, readings / seconds);
}

// The pages of each table and index that holds readings, from SQLite's dbstat table.
void printSpace(const QString &path, int readings)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("space"));
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QSqlQuery query(db);
        if (db.open() && query.exec(QStringLiteral("SELECT name, SUM(pgsize) FROM dbstat GROUP BY name ORDER BY 2 DESC"))) {
            while (query.next()) {
                const double perReading = query.value(1).toDouble() / readings;
                if (perReading >= 0.1)
                    std::printf("    %-32s %6.1f bytes per reading\n", qPrintable(query.value(0).toString()), perReading);
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("space"));
}

void bytesPerReading(int readings, bool inventories)
{
    QTemporaryDir directory;
    const QString path = HistoryStore::filePathIn(directory.path() + QLatin1Char('/'));
    const int calls = inventories ? readings / Tanks : readings;
    const BenchClock::time_point started = BenchClock::now();
    {
        HistoryStore store(path);
        const StationIdentity station = benchStation();
        const auto keep = [&](int i) {
            if (!inventories)
                return store.keepMeasurement(station, hourlyReading(i % Tanks + 1, i / Tanks, "MT"), Origin::Poll);
            QList<MeasurementReading> series;
            for (int tank = 1; tank <= Tanks; ++tank)
                series.append(hourlyReading(tank, i));
            return store.keepInventory(station, series, Origin::Poll);
        };
        if (!keepAll(store, calls, keep, nullptr)) {
            std::printf("writes failed: %s\n", qPrintable(store.failureReason()));
            return;
        }
    }  // closed: the write-ahead log is checkpointed into the file and removed
    const double seconds = millisecondsBetween(started, BenchClock::now()) / 1000.0;
    const qint64 bytes = QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
    const double perReading = double(bytes) / (calls * (inventories ? Tanks : 1));
    std::printf("Bytes on disk, %d readings %s:\n", calls * (inventories ? Tanks : 1),
                inventories ? "as inventories of 16 tanks (with their lists)" : "one reply each");
    std::printf("  %lld bytes, %.1f bytes per reading (target <= %.0f: %s); written in %.1f s\n", bytes, perReading,
                TargetBytes, perReading <= TargetBytes ? "met" : "NOT met", seconds);
    printSpace(path, calls * (inventories ? Tanks : 1));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("UI-thread cost and bytes on disk of keeping readings."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("ui-readings"), QStringLiteral("Readings timed on the caller's thread (10000)."),
                      QStringLiteral("n"), QStringLiteral("10000")});
    parser.addOption({QStringLiteral("disk-readings"), QStringLiteral("Readings kept for the size (100000)."),
                      QStringLiteral("n"), QStringLiteral("100000")});
    parser.addOption({QStringLiteral("replies"), QStringLiteral("Size with one reply per call as well.")});
    parser.process(app);
    uiThreadCost(parser.value(QStringLiteral("ui-readings")).toInt());
    const int diskReadings = parser.value(QStringLiteral("disk-readings")).toInt();
    bytesPerReading(diskReadings, true);
    if (parser.isSet(QStringLiteral("replies")))
        bytesPerReading(diskReadings, false);
    return 0;
}
