#pragma once

#include "base/result.h"
#include "store/alarm_rows.h"
#include "store/write_rules.h"

#include <QDateTime>
#include <QList>
#include <QSqlError>
#include <QString>
#include <QVariant>

#include <initializer_list>
#include <utility>

class QSqlQuery;

// The alarm rules' tables for one job's station, inside the job's transaction: alarm_state, the
// delivery rows, and the readings the tank rules look back on. Any failure rolls the job back.
class AlarmTables {
public:
    explicit AlarmTables(const RuleInput &input);

    // A state never stored is inactive.
    Result<AlarmState, QSqlError> state(const QString &alarm, int subject);
    // changed_at moves only when the alarm turns on or off, not with the count.
    Result<void, QSqlError> setState(const QString &alarm, int subject, const AlarmState &now);

    // The tank's volumes at 20 °C measured at `at` or before, newest first, at most `limit`.
    Result<QList<VolumeAt>, QSqlError> volumesUpTo(int tank, const QDateTime &at, int limit);
    // Whether the history holds a reading of the tank measured after `at`.
    Result<bool, QSqlError> hasLaterReading(int tank, const QDateTime &at);
    // Whether the row was added: a delivery seen again (another program read the same readings,
    // or a reading came late) overlaps the one already recorded, and adds nothing.
    Result<bool, QSqlError> addDelivery(int tank, const QString &product, const Delivery &delivery);
    // An event of the job's station, at the time the job was handed over.
    Result<void, QSqlError> addEvent(const QString &kind, const QString &detail);

private:
    Result<void, QSqlError> lock();
    using Bindings = std::initializer_list<std::pair<QString, QVariant>>;
    Result<QSqlQuery *, QSqlError> run(const QString &sql, Bindings bindings);
    // After lock(), as every statement that reads the station's rows: it then sees what another
    // program's job for the station committed.
    Result<QSqlQuery *, QSqlError> runLocked(const QString &sql, Bindings bindings);

    const RuleInput &input_;
    bool locked_ = false;
};
