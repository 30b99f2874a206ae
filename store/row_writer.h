#pragma once

#include "base/result.h"
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
struct SqlDialect;

// Turns jobs into rows on the writer's connection, in one transaction per batch of jobs: a reply,
// an inventory series with its list, a sensor reading, a scheduled-measurement series or an event.
// A reading whose check byte did not match becomes a bad_check_byte event instead of a row.
// The rules, if any, run in the same transaction after the job's rows.
class RowWriter {
public:
    RowWriter(const QString &connectionName, std::shared_ptr<const WriteRules> rules,
              std::shared_ptr<const ListedHosts> listed);
    ~RowWriter();

    // The rules' notices, and those of stations kept apart, in the jobs' order; on failure
    // everything of the jobs is rolled back.
    Result<QList<AlarmNotice>, QSqlError> write(const std::vector<WriteJob> &jobs);
    // The readings_dropped event, in a transaction of its own.
    Result<void, QSqlError> writeDropped(const DroppedCounts &counts, const QDateTime &at);

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
    // The ofe_conflict event of a station just kept apart, and its notice.
    bool writeKeptApart(const WriteJob &job, const StationRegistry::Station &station, const SqlDialect &dialect,
                        QList<AlarmNotice> *decided);
    // An event of the job's station, at the time the job was handed over.
    bool writeEvent(const Context &context, EventKind kind, const QString &detail);
    Result<void, QSqlError> inTransaction(const std::function<bool()> &body);
    bool run(QSqlQuery &query);
    // The writer's statements; nothing, with error_ set, on failure.
    QSqlQuery *prepared(const QString &sql);
    QSqlQuery *runStatement(const QString &sql, std::initializer_list<QVariant> values);

    QString connectionName_;
    std::shared_ptr<const WriteRules> rules_;
    StatementCache statements_;
    StationRegistry stations_;
    QSqlError error_;  // the failure of the statement that stopped the job
};
