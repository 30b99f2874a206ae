#include "alarms/alarm_ledger.h"

#include "store/sql_dialect.h"

#include <QSqlDatabase>

AlarmLedger::AlarmLedger(const RuleInput &input, QList<AlarmNotice> *notices, QSqlError *error)
    : input_(input), notices_(notices), error_(error)
{
}

QSqlQuery *AlarmLedger::run(const QString &sql, Bindings bindings)
{
    QSqlQuery *query = input_.statements.prepared(sql, error_);
    if (!query)
        return nullptr;
    for (const auto &[name, value] : bindings)
        query->bindValue(name, value);
    if (!query->exec()) {
        *error_ = query->lastError();
        return nullptr;
    }
    return query;
}

// A write before the first read: SQLite's write lock on the file, a row lock on the station on an
// engine with row locks. Another program's rules for this station wait here until this job is
// committed and then read what it decided, so the two never both raise the same alarm.
bool AlarmLedger::lock()
{
    if (!locked_)
        locked_ = run(QStringLiteral("UPDATE station SET description = description WHERE id = :station"),
                      {{QStringLiteral(":station"), input_.stationId}})
                      != nullptr;
    return locked_;
}

std::optional<AlarmState> AlarmLedger::state(const QString &alarm, int subject)
{
    if (!lock())
        return std::nullopt;
    QSqlQuery *query =
        run(QStringLiteral("SELECT active, count FROM alarm_state "
                           "WHERE station_id = :station AND alarm = :alarm AND subject = :subject"),
            {{QStringLiteral(":station"), input_.stationId},
             {QStringLiteral(":alarm"), alarm},
             {QStringLiteral(":subject"), subject}});
    if (!query)
        return std::nullopt;
    if (!query->next())
        return AlarmState{};
    return AlarmState{query->value(0).toBool(), query->value(1).toInt()};
}

bool AlarmLedger::change(const QString &alarm, int subject, const AlarmState &before, const AlarmState &now,
                         const QString &detail)
{
    // changed_at follows the alarm turning on or off, not the count.
    const bool stored =
        run(QStringLiteral("INSERT INTO alarm_state (station_id, alarm, subject, active, changed_at, count) "
                           "VALUES (:station, :alarm, :subject, :active, :at, :count) "
                           "ON CONFLICT (station_id, alarm, subject) DO UPDATE SET active = excluded.active, "
                           "changed_at = CASE WHEN alarm_state.active = excluded.active "
                           "THEN alarm_state.changed_at ELSE excluded.changed_at END, count = excluded.count"),
            {{QStringLiteral(":station"), input_.stationId},
             {QStringLiteral(":alarm"), alarm},
             {QStringLiteral(":subject"), subject},
             {QStringLiteral(":active"), now.active},
             {QStringLiteral(":at"), input_.dialect.timeValue(input_.job.receivedAt)},
             {QStringLiteral(":count"), now.count}})
            != nullptr;
    if (!stored)
        return false;
    if (now.active == before.active)
        return true;
    const QString kind = alarm + (now.active ? QStringLiteral("_raised") : QStringLiteral("_cleared"));
    return record(alarm, subject, kind, now.active, detail);
}

std::optional<QList<VolumeAt>> AlarmLedger::volumesUpTo(int tank, const QDateTime &at, int limit)
{
    if (!lock())
        return std::nullopt;
    QSqlQuery *query =
        run(QStringLiteral("SELECT measured_at, volume20 FROM measurement WHERE station_id = :station "
                           "AND tank = :tank AND measured_at <= :at AND volume20 IS NOT NULL "
                           "ORDER BY measured_at DESC LIMIT :limit"),
            {{QStringLiteral(":station"), input_.stationId},
             {QStringLiteral(":tank"), tank},
             {QStringLiteral(":at"), input_.dialect.timeValue(at)},
             {QStringLiteral(":limit"), limit}});
    if (!query)
        return std::nullopt;
    QList<VolumeAt> volumes;
    while (query->next())
        volumes.append({input_.dialect.time(query->value(0)), query->value(1).toDouble()});
    return volumes;
}

std::optional<bool> AlarmLedger::hasLaterReading(int tank, const QDateTime &at)
{
    if (!lock())
        return std::nullopt;
    QSqlQuery *query =
        run(QStringLiteral("SELECT 1 FROM measurement WHERE station_id = :station AND tank = :tank "
                           "AND measured_at > :at LIMIT 1"),
            {{QStringLiteral(":station"), input_.stationId},
             {QStringLiteral(":tank"), tank},
             {QStringLiteral(":at"), input_.dialect.timeValue(at)}});
    if (!query)
        return std::nullopt;
    return query->next();
}

bool AlarmLedger::recordDelivery(int tank, const QString &product, const Delivery &delivery, const QString &detail)
{
    if (!lock())
        return false;
    // A delivery seen again (another program read the same readings, or a reading came late) is
    // the one already recorded.
    QSqlQuery *insert = run(
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
        return false;
    if (insert->numRowsAffected() < 1)
        return true;
    return record(QStringLiteral("delivery"), tank, QStringLiteral("delivery"), true, detail);
}

bool AlarmLedger::record(const QString &alarm, int subject, const QString &kind, bool raised, const QString &detail)
{
    if (!input_.writeEvent(kind, detail))
        return false;
    notices_->append({input_.stationDescription, input_.host, alarm, subject, raised, detail, input_.job.receivedAt});
    return true;
}
