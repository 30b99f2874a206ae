#pragma once

#include "base/result.h"
#include "store/statement_cache.h"
#include "store/store_types.h"
#include "store/write_job.h"

#include <QList>
#include <QSqlError>
#include <QString>
#include <QTimeZone>

#include <functional>

struct SqlDialect;

// What a job wrote, as the rules see it.
struct RuleInput {
    const WriteJob &job;
    qint64 stationId = 0;
    QString stationDescription;  // as stored
    QString host;                // as stored
    QString ofe;                 // as stored; empty until the configuration reply gave it
    QTimeZone zone;              // the station's
    StatementCache &statements;  // the writer connection's, inside the job's transaction
    const SqlDialect &dialect;
    // Records an event of the job's station at the time the job was handed over.
    std::function<Result<void, QSqlError>(const QString &kind, const QString &detail)> writeEvent;
};

// Decisions taken as each job is written (alarms, deliveries), so that whichever program read a
// value, the decision is taken once: called on the writer thread inside the job's transaction,
// after its rows. One instance may serve several stores, so apply() keeps no state of its own.
class WriteRules {
public:
    virtual ~WriteRules() = default;

    // Records what the job changed; the notices to emit once committed, or the error that rolls
    // the whole job back, as a failed row would.
    virtual Result<QList<AlarmNotice>, QSqlError> apply(const RuleInput &input) const = 0;
};
