#include "alarms/tank_alarms.h"

#include "alarms/alarm_texts.h"
#include "alarms/delivery_finder.h"

namespace {

// Readings looked back over for the start of a rise: far more than a delivery spans.
constexpr int LongestRise = 1000;

// Volume over capacity; nothing for a tank measured by weight or a reading without them.
std::optional<double> filledPercent(const MeasurementRow &row)
{
    if (row.unit != QLatin1String("L") || !row.measured || !row.capacity || *row.capacity <= 0)
        return std::nullopt;
    return *row.measured / *row.capacity * 100;
}

struct LevelAlarm {
    QString alarm;
    QString name;
    bool low;
};

RuleResult checkLevel(AlarmLedger &ledger, const MeasurementRow &row, double percent, const LevelAlarm &level,
                      const LevelLimits &limits)
{
    const Result<AlarmState, QSqlError> before = ledger.tables().state(level.alarm, row.tank);
    if (!before)
        return failure(before.error());
    const bool beyond = level.low ? percent <= limits.raiseAt : percent >= limits.raiseAt;
    const bool restored = level.low ? percent >= limits.restoreAt : percent <= limits.restoreAt;
    if (before->active ? !restored : !beyond)
        return {};
    const QString tank = tankText(row.tank, row.product);
    const QString detail = before->active ? levelRestoredText(tank, level.name, percent)
                                          : levelRaisedText(tank, level.name, percent, limits.raiseAt);
    return ledger.change(level.alarm, row.tank, *before, {!before->active, before->count}, detail);
}

RuleResult checkLevels(AlarmLedger &ledger, const MeasurementRow &row, const TankRules &rules)
{
    const std::optional<double> percent = filledPercent(row);
    if (!percent || (!rules.low && !rules.high))
        return {};
    if (row.measuredAt.isValid()) {
        const Result<bool, QSqlError> later = ledger.tables().hasLaterReading(row.tank, row.measuredAt);
        if (!later)
            return failure(later.error());
        if (*later)
            return {};
    }
    if (rules.low) {
        const RuleResult low =
            checkLevel(ledger, row, *percent, {QStringLiteral("low_level"), lowLevelName(), true}, *rules.low);
        if (!low)
            return low;
    }
    if (!rules.high)
        return {};
    return checkLevel(ledger, row, *percent, {QStringLiteral("high_level"), highLevelName(), false}, *rules.high);
}

RuleResult checkDelivery(AlarmLedger &ledger, const MeasurementRow &row, const TankRules &rules)
{
    if (!rules.deliveryMinimum || !row.volume20 || !row.measuredAt.isValid())
        return {};
    const Result<QList<VolumeAt>, QSqlError> volumes = ledger.tables().volumesUpTo(row.tank, row.measuredAt, LongestRise);
    if (!volumes)
        return failure(volumes.error());
    const std::optional<Delivery> delivery = confirmedDelivery(*volumes, *rules.deliveryMinimum);
    if (!delivery)
        return {};
    const QTimeZone &zone = ledger.input().zone;
    const QString detail = deliveryText(tankText(row.tank, row.product), delivery->amount,
                                        localTimeText(delivery->startedAt, zone), localTimeText(delivery->endedAt, zone));
    return ledger.recordDelivery(row.tank, row.product, *delivery, detail);
}

} // namespace

RuleResult checkTank(AlarmLedger &ledger, const MeasurementRow &row, const TankRules &rules)
{
    if (const RuleResult levels = checkLevels(ledger, row, rules); !levels)
        return levels;
    return checkDelivery(ledger, row, rules);
}
