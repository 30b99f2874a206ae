#include "alarms/tank_alarms.h"

#include "alarms/alarm_texts.h"

namespace {

// Readings looked back over for the start of a rise: far more than a delivery spans.
constexpr int LongestRise = 1000;

QString tankText(const MeasurementRow &row)
{
    return row.product.isEmpty() ? QStringLiteral("Tanque %1").arg(row.tank)
                                 : QStringLiteral("Tanque %1 (%2)").arg(QString::number(row.tank), row.product);
}

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

bool checkLevel(AlarmLedger &ledger, const MeasurementRow &row, double percent, const LevelAlarm &level,
                const LevelLimits &limits)
{
    const std::optional<AlarmState> before = ledger.state(level.alarm, row.tank);
    if (!before)
        return false;
    const bool beyond = level.low ? percent <= limits.raiseAt : percent >= limits.raiseAt;
    const bool restored = level.low ? percent >= limits.restoreAt : percent <= limits.restoreAt;
    if (before->active ? !restored : !beyond)
        return true;
    const QString detail =
        before->active
            ? QStringLiteral("%1: %2 normalizado, %3% da capacidade").arg(tankText(row), level.name, decimalText(percent, 1))
            : QStringLiteral("%1: %2, %3% da capacidade (limite %4%)")
                  .arg(tankText(row), level.name, decimalText(percent, 1), decimalText(limits.raiseAt, 1));
    return ledger.change(level.alarm, row.tank, *before, {!before->active, before->count}, detail);
}

bool checkLevels(AlarmLedger &ledger, const MeasurementRow &row, const TankRules &rules)
{
    const std::optional<double> percent = filledPercent(row);
    if (!percent || (!rules.low && !rules.high))
        return true;
    if (row.measuredAt.isValid()) {
        const std::optional<bool> later = ledger.hasLaterReading(row.tank, row.measuredAt);
        if (!later)
            return false;
        if (*later)
            return true;
    }
    if (rules.low && !checkLevel(ledger, row, *percent, {QStringLiteral("low_level"), QStringLiteral("nível baixo"), true},
                                 *rules.low))
        return false;
    return !rules.high
        || checkLevel(ledger, row, *percent, {QStringLiteral("high_level"), QStringLiteral("nível alto"), false},
                      *rules.high);
}

bool checkDelivery(AlarmLedger &ledger, const MeasurementRow &row, const TankRules &rules)
{
    if (!rules.deliveryMinimum || !row.volume20 || !row.measuredAt.isValid())
        return true;
    const std::optional<QList<VolumeAt>> volumes = ledger.volumesUpTo(row.tank, row.measuredAt, LongestRise);
    if (!volumes)
        return false;
    const std::optional<Delivery> delivery = confirmedDelivery(*volumes, *rules.deliveryMinimum);
    if (!delivery)
        return true;
    const QTimeZone &zone = ledger.input().zone;
    const QString detail = QStringLiteral("%1: entrega de %2 a 20 °C entre %3 e %4")
                               .arg(tankText(row), litresText(delivery->amount),
                                    localTimeText(delivery->startedAt, zone), localTimeText(delivery->endedAt, zone));
    return ledger.recordDelivery(row.tank, row.product, *delivery, detail);
}

} // namespace

bool checkTank(AlarmLedger &ledger, const MeasurementRow &row, const TankRules &rules)
{
    return checkLevels(ledger, row, rules) && checkDelivery(ledger, row, rules);
}
