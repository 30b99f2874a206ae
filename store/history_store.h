#pragma once

// The history of readings: every reading, inventory, sensor reading, scheduled measurement and
// event a program receives, kept in Historico.sqlite in the data directory or in a PostgreSQL
// database (store/database_location.h; the schema is in the README, "O histórico"). QtCore and
// QtSql only.
//
// Writing: HistoryStore
//   HistoryStore store(HistoryStore::filePathIn(dataDirectory));
//   const StationIdentity station{"Posto Centro", "192.168.0.20", ofe, {}};
//   store.keepMeasurement(station, reading, Origin::Console);     // from measurementRead
//   store.keepInventory(station, seriesReadings, Origin::Console);  // an "MA" series, whole
//   connect(&store, &HistoryStore::writesFailing, ...);            // "Histórico indisponível: <reason>"
//   connect(&store, &HistoryStore::writesWorking, ...);            // clear the status line
//
// - The station: description and host from the station list, the OFE number once the "CF"
//   reply gave it, the zone empty (the PC's) unless the station is elsewhere.
// - An inventory is kept once its "MA" request has finished: decode its frames() with
//   decodeMeasurementReading, and keep its error replies with keepErrorReply.
// - Call it from the thread that created it; its signals arrive there.
// - Every keep…() call only copies its arguments into a queue and returns at once (microseconds)
//   with a sequence number; one writer thread per store, with its own connection, writes each call
//   whole or not at all (the calls it finds queued together, in one transaction) and then emits
//   written(sequence) for each. Nothing waits for the disk on the caller's thread, whatever state
//   the file is in.
// - When writes fail (disk full, file read-only or locked by another program, the directory
//   gone, a file of a newer version) the store emits writesFailing(reason) once per reason, keeps
//   the work in its queue and tries again every retryIntervalMs. The queue is bounded
//   (queueCapacity calls, besides the ones the writer was trying to write): beyond it the oldest
//   call is dropped. Once writes succeed again it
//   emits writesWorking() and records a "readings_dropped" event with what it had to drop.
// - A reading whose check byte did not match is kept as a "bad_check_byte" event, never as a
//   reading; the keep…() calls see to that themselves. For other replies with a bad check byte
//   (clock, configuration), call keepEvent(station, EventKind::BadCheckByte, frame text).
// - Measurements are unique by (station, tank, measured_at): a reading read again is stored
//   once. A reading whose date is impossible ("000000") has a NULL measured_at; NULLs never
//   collide, so each such reading is stored every time it is kept, and no period shows it.
// - The destructor writes what is still queued (one attempt each) and closes the file.
// - With options.rules (alarms/alarm_rules.h), each call's alarms and deliveries are decided in
//   its own transaction (store/write_rules.h) and reported by alarmChanged() once committed.
// - Two controllers giving one OFE number (a configuration copied) never share a station: the
//   number stays with the host that holds it while that host is listed (options.listedHosts,
//   setListedHosts) or answered with it in the last 30 days; the other's readings go to a station
//   of their own, recorded once as an "ofe_conflict" event and reported by ofeConflict(). A
//   controller whose old host is neither keeps its station, which takes the new host.
//
// Reading: HistoryReader (history_reader.h) answers the history window's questions (stations, a
// station's tanks and products, a series, the rows behind it, the events of a period) by signal,
// on a thread and connection of its own; the same questions are plain functions in
// history_queries.h, and point_reduction.h thins a series to a chart's width.

#include "session/readings.h"
#include "store/database_location.h"
#include "store/store_types.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThread>

#include <memory>

class ListedHosts;
class StoreWriter;
class WriteRules;
class WriteQueue;
struct WriteJob;

struct HistoryStoreOptions {
    int queueCapacity = 10000;    // calls waiting while writes fail; beyond it the oldest is dropped
    int retryIntervalMs = 2000;   // between attempts while writes fail
    // SQLite only, these three.
    int busyTimeoutMs = 3000;     // how long one write waits for another program's write lock
    QString connectOptions;       // further QSQLITE connect options, such as QSQLITE_OPEN_READONLY
    int maxPageCount = 0;         // a cap on the file's size in pages (0: none); beyond it, "disco cheio"
    std::shared_ptr<WriteRules> rules;  // alarms and deliveries decided as each call is written; none: no alarms
    // The hosts of the program's station list or fleet file, as the calls' StationIdentity names
    // them: a host listed keeps its OFE number, and a controller elsewhere giving the same number
    // is kept as a station apart (see setListedHosts).
    QStringList listedHosts;
};

class HistoryStore : public QObject {
    Q_OBJECT
public:
    static QString fileName();  // "Historico.sqlite"
    // The history file in a data directory that ends with a separator, beside the station list.
    static QString filePathIn(const QString &dataDirectory);

    // Starts the writer thread, which opens (creating or migrating) the history. A file's
    // directory must exist: the store never creates it.
    explicit HistoryStore(const DatabaseLocation &location, const HistoryStoreOptions &options = {},
                          QObject *parent = nullptr);
    ~HistoryStore() override;

    const DatabaseLocation &location() const { return location_; }
    QString filePath() const { return location_.filePath; }  // empty on PostgreSQL

    // A reply of "MT", "LM", or one "MA" reply kept on its own.
    quint64 keepMeasurement(const StationIdentity &station, const MeasurementReading &reading, Origin origin);
    // An inventory: its row, every reading of the series, and the list of them all, including
    // those already kept from an earlier read. One transaction.
    quint64 keepInventory(const StationIdentity &station, const QList<MeasurementReading> &readings, Origin origin);
    quint64 keepSensors(const StationIdentity &station, const SensorReading &reading);
    // An "MP" series, in one transaction.
    quint64 keepScheduled(const StationIdentity &station, const QList<ScheduledReading> &readings);
    // An "error_reply" event (or "bad_check_byte", if its check byte did not match).
    quint64 keepErrorReply(const StationIdentity &station, const ErrorReply &reply);
    // Connection opened or lost, and the other events; a station without host and OFE number
    // leaves station_id NULL.
    quint64 keepEvent(const StationIdentity &station, EventKind kind, const QString &detail);
    // The controller's clock ("LR") and the PC's time in UTC when it came; kept for the rules (clock alarm).
    quint64 keepClock(const StationIdentity &station, const ClockReading &reading, const QDateTime &pcTimeUtc);
    // The end of one poll of one station: succeeded or, after its retries, failed (detail: why, in Portuguese).
    // A failure is an event "poll_failed"; the rules count consecutive failures.
    quint64 keepPollOutcome(const StationIdentity &station, bool succeeded, const QString &detail);

    // Since the last writesFailing() until the next writesWorking().
    bool writesAreFailing() const { return failing_; }
    QString failureReason() const { return failureReason_; }
    // Calls handed to the store and not yet written: while writes fail, what waits for them.
    int queuedCount() const;
    // The station list changed: replaces options.listedHosts for the calls written from now on.
    void setListedHosts(const QStringList &hosts);

signals:
    // The call with this sequence number is committed.
    void written(quint64 sequence);
    void writesFailing(const QString &reason);
    void writesWorking();
    // The history cannot be opened as it was given (a PostgreSQL database that does not exist):
    // a configuration to mend, not an outage to wait out. Writes keep failing meanwhile.
    void misconfigured(const QString &reason);
    // Emitted on the store's own thread after the commit that recorded it.
    void alarmChanged(const AlarmNotice &notice);
    // A station kept apart (notice.alarm "ofe_conflict", detail as stored), likewise after its commit.
    void ofeConflict(const AlarmNotice &notice);

private:
    quint64 enqueue(WriteJob &&job);

    DatabaseLocation location_;
    std::shared_ptr<WriteQueue> queue_;
    std::shared_ptr<ListedHosts> listed_;
    QThread thread_;
    StoreWriter *writer_;
    bool failing_ = false;
    QString failureReason_;
};
