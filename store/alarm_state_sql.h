#pragma once

#include <QString>

// The statements the writer's alarm rules and the daily book share, so that an alarm decided in
// either place is kept the same way. They bind :station, :alarm and :subject; the upsert also
// :active, :at and :count.

// A write before the first read: SQLite's write lock on the file, a row lock on the station on an
// engine with row locks. Another program deciding the station's alarms waits here until this
// transaction is committed and then reads what it decided, so the two never both raise one alarm.
inline QString stationHoldSql()
{
    return QStringLiteral("UPDATE station SET description = description WHERE id = :station");
}

inline QString alarmStateSql()
{
    return QStringLiteral("SELECT active, count FROM alarm_state "
                          "WHERE station_id = :station AND alarm = :alarm AND subject = :subject");
}

// changed_at moves only when the alarm turns on or off, not with the count.
inline QString alarmStateUpsertSql()
{
    return QStringLiteral("INSERT INTO alarm_state (station_id, alarm, subject, active, changed_at, count) "
                          "VALUES (:station, :alarm, :subject, :active, :at, :count) "
                          "ON CONFLICT (station_id, alarm, subject) DO UPDATE SET active = excluded.active, "
                          "changed_at = CASE WHEN alarm_state.active = excluded.active "
                          "THEN alarm_state.changed_at ELSE excluded.changed_at END, count = excluded.count");
}
