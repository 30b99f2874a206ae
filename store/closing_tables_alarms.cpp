#include "store/alarm_state_sql.h"
#include "store/closing_tables.h"

#include <QSqlQuery>

Result<void, QSqlError> ClosingTables::holdStation()
{
    const Result<QueryPool::Lent, QSqlError> held = run(stationHoldSql(), {});
    if (!held)
        return failure(held.error());
    return {};
}

Result<AlarmState, QSqlError> ClosingTables::alarmState(const QString &alarm, int subject) const
{
    Result<QueryPool::Lent, QSqlError> query = run(alarmStateSql(), {{"alarm", alarm}, {"subject", subject}});
    if (!query)
        return failure(query.error());
    if (!query->next())
        return AlarmState{};
    return AlarmState{query->value(0).toBool(), query->value(1).toInt()};
}

Result<void, QSqlError> ClosingTables::setAlarmState(const QString &alarm, int subject, const AlarmState &now,
                                                     const QDateTime &at)
{
    const Result<QueryPool::Lent, QSqlError> stored =
        run(alarmStateUpsertSql(), {{"alarm", alarm},
                                    {"subject", subject},
                                    {"active", now.active},
                                    {"at", timeValue(at)},
                                    {"count", now.count}});
    if (!stored)
        return failure(stored.error());
    return {};
}

Result<void, QSqlError> ClosingTables::addEvent(const QString &kind, const QString &detail, const QDateTime &at)
{
    const Result<QueryPool::Lent, QSqlError> added =
        run(QStringLiteral("INSERT INTO event (station_id, at, kind, detail) VALUES (:station, :at, :kind, :detail)"),
            {{"at", timeValue(at)}, {"kind", kind}, {"detail", detail}});
    if (!added)
        return failure(added.error());
    return {};
}
