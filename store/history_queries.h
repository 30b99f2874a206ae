#pragma once

// The history window's questions, as plain functions on an open connection (see
// history_file.h: openForReading). HistoryReader asks them on a thread of its own; a benchmark or
// a tool may call them directly. Times are UTC; periods run from `from` (included) to `to`
// (excluded); readings without a date (measured_at NULL) are in no period.

#include "base/result.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>

struct StoredStation {
    qint64 id = 0;
    QString description;
    QString host;
    QString ofe;       // empty while unknown
    QString timeZone;  // IANA name
};

struct StoredTank {
    int tank = 0;
    QString product;  // of its latest reading
    QString unit;     // "L" or "kg"
};

struct StationContents {
    QList<StoredTank> tanks;  // by number
    QStringList products;     // the tanks' products, sorted, each once
};

// The value a series shows.
enum class SeriesValue { Measured, Volume20, LevelMm, Complementary };

struct SeriesRequest {
    qint64 stationId = 0;
    std::optional<int> tank;  // one tank; when unset, the totals of `product`
    QString product;
    QDateTime from;
    QDateTime to;
    SeriesValue value = SeriesValue::Measured;
};

struct SeriesPoint {
    qint64 atMs = 0;  // milliseconds since 1970 UTC
    double value = 0;
};
using SeriesPoints = QList<SeriesPoint>;

// One measurement row, as stored.
struct StoredMeasurement {
    qint64 id = 0;
    int tank = 0;
    QString product;
    QString unit;
    std::optional<double> measured;
    std::optional<double> complementary;
    std::optional<double> volume20;
    std::optional<double> density;
    std::optional<double> levelMm;
    std::optional<double> expansion;
    std::optional<double> capacity;
    QDateTime measuredAt;
    QDateTime receivedAt;
    QString command;
    QString origin;
};

// A page of the rows behind a series, for a paged or virtual table.
struct RowsPage {
    int offset = 0;
    int total = 0;  // rows in the whole period
    QList<StoredMeasurement> rows;
};

struct StoredEvent {
    qint64 id = 0;
    QDateTime at;
    QString kind;  // connection_opened, connection_lost, error_reply, bad_check_byte, ...
    QString detail;
};

// When a station's book day starts, keyed as the poller knows the station: by its host.
struct StationClosingHour {
    QString host;
    QTime closingHour;
};

// Each gives the error when the engine fails.
Result<QList<StoredStation>, QSqlError> queryStations(const QSqlDatabase &db);
// Every station's closing hour, 00:00 for one never set up; of the stations at one host, the
// newest comes last.
Result<QList<StationClosingHour>, QSqlError> queryClosingHours(const QSqlDatabase &db);
Result<StationContents, QSqlError> queryStationContents(const QSqlDatabase &db, qint64 stationId);
// One tank: its readings with a value, by time. The totals of a product: at each time a tank
// was read, the sum of every tank's latest value while that reading is of the product (a tank
// read before the period counts with its last value before it), from the first time every tank
// of the product has a value; a delivery shows as a step up.
Result<SeriesPoints, QSqlError> querySeries(const QSqlDatabase &db, const SeriesRequest &request);
// The readings behind the series (of the tank, or every reading of the product), by time.
Result<RowsPage, QSqlError> queryRows(const QSqlDatabase &db, const SeriesRequest &request, int offset, int limit);
// The station's events in the period, with those that concern no station (readings dropped).
Result<QList<StoredEvent>, QSqlError> queryEvents(const QSqlDatabase &db, qint64 stationId, const QDateTime &from,
                                                  const QDateTime &to);

// A delivery the alarm rules found in a tank's readings.
struct StoredDelivery {
    qint64 id = 0;
    int tank = 0;
    QString product;
    QDateTime startedAt;
    QDateTime endedAt;
    double amount = 0;
};

struct AlarmsAndDeliveries {
    QList<StoredEvent> alarms;         // raised, cleared, failed polls and OFE conflicts, by time
    QList<StoredDelivery> deliveries;  // by start
};

// The station's own alarm events in the period, and its deliveries that overlap it.
Result<AlarmsAndDeliveries, QSqlError> queryAlarmsAndDeliveries(const QSqlDatabase &db, qint64 stationId,
                                                                const QDateTime &from, const QDateTime &to);
