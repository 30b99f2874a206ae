#include "store/alarm_tables.h"

#include "store/alarm_state_sql.h"
#include "store/sql_dialect.h"

#include <QSqlQuery>

AlarmTables::AlarmTables(const RuleInput &input) : input_(input) {}

Result<QSqlQuery *, QSqlError> AlarmTables::run(const QString &sql, Bindings bindings)
{
    const Result<QSqlQuery *, QSqlError> query = input_.statements.prepared(sql);
    if (!query)
        return query;
    for (const auto &[name, value] : bindings)
        (*query)->bindValue(name, value);
    if (!(*query)->exec())
        return failure((*query)->lastError());
    return query;
}

Result<void, QSqlError> AlarmTables::lock()
{
    if (locked_)
        return {};
    const Result<QSqlQuery *, QSqlError> locked =
        run(stationHoldSql(), {{QStringLiteral(":station"), input_.stationId}});
    if (!locked)
        return failure(locked.error());
    locked_ = true;
    return {};
}

Result<QSqlQuery *, QSqlError> AlarmTables::runLocked(const QString &sql, Bindings bindings)
{
    if (const Result<void, QSqlError> locked = lock(); !locked)
        return failure(locked.error());
    return run(sql, bindings);
}

Result<AlarmState, QSqlError> AlarmTables::state(const QString &alarm, int subject)
{
    const Result<QSqlQuery *, QSqlError> query =
        runLocked(alarmStateSql(),
            {{QStringLiteral(":station"), input_.stationId},
             {QStringLiteral(":alarm"), alarm},
             {QStringLiteral(":subject"), subject}});
    if (!query)
        return failure(query.error());
    if (!(*query)->next())
        return AlarmState{};
    return AlarmState{(*query)->value(0).toBool(), (*query)->value(1).toInt()};
}

Result<void, QSqlError> AlarmTables::setState(const QString &alarm, int subject, const AlarmState &now)
{
    const Result<QSqlQuery *, QSqlError> stored =
        run(alarmStateUpsertSql(),
            {{QStringLiteral(":station"), input_.stationId},
             {QStringLiteral(":alarm"), alarm},
             {QStringLiteral(":subject"), subject},
             {QStringLiteral(":active"), now.active},
             {QStringLiteral(":at"), input_.dialect.timeValue(input_.job.receivedAt)},
             {QStringLiteral(":count"), now.count}});
    if (!stored)
        return failure(stored.error());
    return {};
}

Result<QList<VolumeAt>, QSqlError> AlarmTables::volumesUpTo(int tank, const QDateTime &at, int limit)
{
    const Result<QSqlQuery *, QSqlError> query =
        runLocked(QStringLiteral("SELECT measured_at, volume20 FROM measurement WHERE station_id = :station "
                           "AND tank = :tank AND measured_at <= :at AND volume20 IS NOT NULL "
                           "ORDER BY measured_at DESC LIMIT :limit"),
            {{QStringLiteral(":station"), input_.stationId},
             {QStringLiteral(":tank"), tank},
             {QStringLiteral(":at"), input_.dialect.timeValue(at)},
             {QStringLiteral(":limit"), limit}});
    if (!query)
        return failure(query.error());
    QList<VolumeAt> volumes;
    while ((*query)->next())
        volumes.append({input_.dialect.time((*query)->value(0)), (*query)->value(1).toDouble()});
    return volumes;
}

Result<bool, QSqlError> AlarmTables::hasLaterReading(int tank, const QDateTime &at)
{
    const Result<QSqlQuery *, QSqlError> query =
        runLocked(QStringLiteral("SELECT 1 FROM measurement WHERE station_id = :station AND tank = :tank "
                           "AND measured_at > :at LIMIT 1"),
            {{QStringLiteral(":station"), input_.stationId},
             {QStringLiteral(":tank"), tank},
             {QStringLiteral(":at"), input_.dialect.timeValue(at)}});
    if (!query)
        return failure(query.error());
    return (*query)->next();
}

Result<bool, QSqlError> AlarmTables::addDelivery(int tank, const QString &product, const Delivery &delivery)
{
    const Result<QSqlQuery *, QSqlError> insert = runLocked(
        QStringLiteral("INSERT INTO delivery (station_id, tank, product, started_at, ended_at, amount) "
                       "SELECT :station, :tank, :product, :started, :ended, :amount WHERE NOT EXISTS ("
                       "SELECT 1 FROM delivery WHERE station_id = :same_station AND tank = :same_tank "
                       "AND started_at <= :other_ended AND ended_at >= :other_started)"),
        {{QStringLiteral(":station"), input_.stationId},
         {QStringLiteral(":tank"), tank},
         {QStringLiteral(":product"), notNullText(product)},
         {QStringLiteral(":started"), input_.dialect.timeValue(delivery.startedAt)},
         {QStringLiteral(":ended"), input_.dialect.timeValue(delivery.endedAt)},
         {QStringLiteral(":amount"), delivery.amount},
         {QStringLiteral(":same_station"), input_.stationId},
         {QStringLiteral(":same_tank"), tank},
         {QStringLiteral(":other_ended"), input_.dialect.timeValue(delivery.endedAt)},
         {QStringLiteral(":other_started"), input_.dialect.timeValue(delivery.startedAt)}});
    if (!insert)
        return failure(insert.error());
    return (*insert)->numRowsAffected() >= 1;
}

Result<void, QSqlError> AlarmTables::addEvent(const QString &kind, const QString &detail)
{
    return input_.writeEvent(kind, detail);
}
