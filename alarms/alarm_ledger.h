#pragma once

#include "alarms/delivery_finder.h"
#include "store/write_rules.h"

#include <QDateTime>
#include <QList>
#include <QSqlError>
#include <QString>

#include <QSqlQuery>
#include <QVariant>

#include <initializer_list>
#include <optional>
#include <utility>

struct AlarmState {
    bool active = false;
    int count = 0;  // failed polls in a row, for the communication alarm
};

// The rules' side of the history, inside the job's transaction: alarm_state, the event and notice
// of each alarm raised or cleared, the delivery rows, and the readings the tank rules look back
// on. Whatever fails sets the error and returns false (or nothing), which rolls the job back.
class AlarmLedger {
public:
    AlarmLedger(const RuleInput &input, QList<AlarmNotice> *notices, QSqlError *error);

    const RuleInput &input() const { return input_; }

    // A state never stored is inactive.
    std::optional<AlarmState> state(const QString &alarm, int subject);
    // Stores `now`; when it turns the alarm on or off, also the event "<alarm>_raised" or
    // "<alarm>_cleared" with this detail, and its notice.
    bool change(const QString &alarm, int subject, const AlarmState &before, const AlarmState &now,
                const QString &detail);

    // The tank's volumes at 20 °C measured at `at` or before, newest first, at most `limit`.
    std::optional<QList<VolumeAt>> volumesUpTo(int tank, const QDateTime &at, int limit);
    // Whether the history holds a reading of the tank measured after `at`.
    std::optional<bool> hasLaterReading(int tank, const QDateTime &at);
    // Unless a delivery of the tank already covers part of that time: its row, the event
    // "delivery" and its notice.
    bool recordDelivery(int tank, const QString &product, const Delivery &delivery, const QString &detail);

private:
    bool lock();
    using Bindings = std::initializer_list<std::pair<QString, QVariant>>;
    // Run with these :name values; nothing (and the error) on failure.
    QSqlQuery *run(const QString &sql, Bindings bindings);
    bool record(const QString &alarm, int subject, const QString &kind, bool raised, const QString &detail);

    const RuleInput &input_;
    QList<AlarmNotice> *notices_;
    QSqlError *error_;
    bool locked_ = false;
};
