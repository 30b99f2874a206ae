#include "alarms/station_alarms.h"

#include "alarms/alarm_texts.h"
#include "store/reading_rows.h"

#include <algorithm>
#include <cstdlib>

namespace {

const QString Communication = QStringLiteral("communication");

// Turns the alarm on or off with the matching text, unless it already is.
RuleResult turn(AlarmLedger &ledger, const QString &alarm, int subject, bool active, const QString &raisedText,
                const QString &clearedText)
{
    const Result<AlarmState, QSqlError> before = ledger.tables().state(alarm, subject);
    if (!before)
        return failure(before.error());
    if (before->active == active)
        return {};
    return ledger.change(alarm, subject, *before, {active, before->count}, active ? raisedText : clearedText);
}

RuleResult checkSensor(AlarmLedger &ledger, int sensor, LeakSensorState state)
{
    const bool normal = state == LeakSensorState::Normal;
    const bool leak = state == LeakSensorState::Leak;
    const bool fault = state == LeakSensorState::Short || state == LeakSensorState::Open;
    if (normal || leak) {
        const RuleResult turned =
            turn(ledger, QStringLiteral("leak"), sensor, leak, leakText(sensor, true), leakText(sensor, false));
        if (!turned)
            return turned;
    }
    if (!(normal || fault))
        return {};
    return turn(ledger, QStringLiteral("sensor_fault"), sensor, fault, sensorFaultText(sensor, true, sensorStateLabel(state)),
                sensorFaultText(sensor, false, {}));
}

} // namespace

RuleResult checkSensors(AlarmLedger &ledger, const SensorReading &reading, const StationRules &rules)
{
    if (!reading.checkByteMatches)
        return {};
    if (rules.sensors.value_or(true)) {
        const int count = std::min(reading.count, int(reading.states.size()));
        for (int sensor = 1; sensor <= count; ++sensor) {
            if (const RuleResult checked = checkSensor(ledger, sensor, reading.state(sensor)); !checked)
                return checked;
        }
    }
    if (!rules.bars.value_or(true))
        return {};
    const bool active[] = {reading.bar1Active, reading.bar2Active};
    for (int bar = 1; bar <= 2; ++bar) {
        const RuleResult turned =
            turn(ledger, QStringLiteral("bar_inactive"), bar, !active[bar - 1], barText(bar, true), barText(bar, false));
        if (!turned)
            return turned;
    }
    return {};
}

RuleResult checkPollOutcome(AlarmLedger &ledger, const PollOutcomeWork &outcome, const StationRules &rules)
{
    if (!rules.communicationRounds)
        return {};
    const Result<AlarmState, QSqlError> before = ledger.tables().state(Communication, 0);
    if (!before)
        return failure(before.error());
    if (outcome.succeeded) {
        if (before->count == 0 && !before->active)
            return {};
        return ledger.change(Communication, 0, *before, {false, 0}, communicationRestoredText(before->count));
    }
    const AlarmState now{before->active || before->count + 1 >= *rules.communicationRounds, before->count + 1};
    return ledger.change(Communication, 0, *before, now, communicationLostText(now.count, outcome.detail));
}

RuleResult checkClock(AlarmLedger &ledger, const ClockWork &clock, const StationRules &rules)
{
    if (!rules.clockMinutes || !clock.reading.checkByteMatches)
        return {};
    const QDateTime controller = stationTimeUtc(clock.reading.date, clock.reading.time, ledger.input().zone);
    if (!controller.isValid() || !clock.pcTimeUtc.isValid())
        return {};
    const qint64 ahead = clock.pcTimeUtc.secsTo(controller);
    const qint64 minutes = qRound64(std::abs(ahead) / 60.0);
    return turn(ledger, QStringLiteral("clock"), 0, std::abs(ahead) > qint64(*rules.clockMinutes) * 60,
                clockOffText(minutes, ahead > 0, *rules.clockMinutes), clockRightText(minutes));
}
