#pragma once

#include "base/result.h"
#include "store/alarm_rows.h"
#include "store/alarm_tables.h"
#include "store/write_rules.h"

#include <QList>
#include <QSqlError>
#include <QString>

// A rule's outcome: done, or the error that rolls the job back.
using RuleResult = Result<void, QSqlError>;

// What the rules decided for one job: each alarm raised or cleared and each new delivery becomes
// an event and a notice. The tables are the store's; any failure rolls the job back.
class AlarmLedger {
public:
    explicit AlarmLedger(const RuleInput &input);

    const RuleInput &input() const { return input_; }
    AlarmTables &tables() { return tables_; }

    // Stores `now`; when it turns the alarm on or off, also the event "<alarm>_raised" or
    // "<alarm>_cleared" with this detail, and its notice.
    RuleResult change(const QString &alarm, int subject, const AlarmState &before, const AlarmState &now,
                      const QString &detail);
    // Unless a delivery of the tank already covers part of that time: its row, the event
    // "delivery" and its notice.
    RuleResult recordDelivery(int tank, const QString &product, const Delivery &delivery, const QString &detail);

    QList<AlarmNotice> takeNotices() { return std::move(notices_); }

private:
    RuleResult record(const QString &alarm, int subject, const QString &kind, bool raised, const QString &detail);

    const RuleInput &input_;
    AlarmTables tables_;
    QList<AlarmNotice> notices_;
};
