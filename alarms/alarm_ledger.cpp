#include "alarms/alarm_ledger.h"

#include "alarms/alarms_log.h"

AlarmLedger::AlarmLedger(const RuleInput &input) : input_(input), tables_(input) {}

RuleResult AlarmLedger::change(const QString &alarm, int subject, const AlarmState &before, const AlarmState &now,
                               const QString &detail)
{
    if (const RuleResult stored = tables_.setState(alarm, subject, now); !stored)
        return stored;
    if (now.active == before.active)
        return {};
    const QString kind = alarm + (now.active ? QStringLiteral("_raised") : QStringLiteral("_cleared"));
    return record(alarm, subject, kind, now.active, detail);
}

RuleResult AlarmLedger::recordDelivery(int tank, const QString &product, const Delivery &delivery,
                                       const QString &detail)
{
    const Result<bool, QSqlError> added = tables_.addDelivery(tank, product, delivery);
    if (!added)
        return failure(added.error());
    if (!*added)
        return {};
    return record(QStringLiteral("delivery"), tank, QStringLiteral("delivery"), true, detail);
}

RuleResult AlarmLedger::record(const QString &alarm, int subject, const QString &kind, bool raised,
                               const QString &detail)
{
    if (const RuleResult written = tables_.addEvent(kind, detail); !written)
        return written;
    qCDebug(lcAlarms).noquote() << input_.host << kind << detail;
    notices_.append({input_.stationDescription, input_.host, alarm, subject, raised, detail, input_.job.receivedAt});
    return {};
}
