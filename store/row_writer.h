#pragma once

#include "store/statement_cache.h"
#include "store/station_registry.h"
#include "store/write_job.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class WriteRules;

// Turns jobs into rows on the writer's connection, in one transaction per batch of jobs: a reply,
// an inventory series with its list, a sensor reading, a scheduled-measurement series or an event.
// A reading whose check byte did not match becomes a bad_check_byte event instead of a row.
// The rules, if any, run in the same transaction after the job's rows.
class RowWriter {
public:
    RowWriter(const QString &connectionName, std::shared_ptr<const WriteRules> rules);
    ~RowWriter();

    // On failure everything of the jobs is rolled back and the error given; otherwise the rules'
    // notices are appended, in the jobs' order.
    bool write(const std::vector<WriteJob> &jobs, QSqlError *error, QList<AlarmNotice> *notices);
    // The readings_dropped event, in a transaction of its own.
    bool writeDropped(const DroppedCounts &counts, const QDateTime &at, QSqlError *error);

private:
    struct Context;
    // One job's rows, and what the rules decide of them.
    bool writeJob(const WriteJob &job, QList<AlarmNotice> *decided);
    bool writeWork(const Context &context, const MeasurementWork &work);
    bool writeWork(const Context &context, const InventoryWork &work);
    bool writeWork(const Context &context, const SensorWork &work);
    bool writeWork(const Context &context, const ScheduledWork &work);
    bool writeWork(const Context &context, const EventWork &work);
    bool writeWork(const Context &context, const ClockWork &work);
    bool writeWork(const Context &context, const PollOutcomeWork &work);
    // The ids of the readings' rows, new or those that already held them, in the readings' order;
    // a reading kept as an event instead (bad check byte, unusable) has none. Nothing on failure.
    std::optional<QList<qint64>> writeMeasurements(const Context &context, const QList<MeasurementReading> &readings,
                                                   Origin origin);
    bool writeEvent(const QVariant &stationId, const QVariant &at, const QString &kind, const QString &detail);
    // An event of the job's station, at the time the job was handed over.
    bool writeEvent(const Context &context, EventKind kind, const QString &detail);
    bool inTransaction(const std::function<bool()> &body, QSqlError *error);
    bool run(QSqlQuery &query);

    QString connectionName_;
    std::shared_ptr<const WriteRules> rules_;
    StatementCache statements_;
    StationRegistry stations_;
    QSqlError error_;  // the failure of the statement that stopped the job
};
