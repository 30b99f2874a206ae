#include "alarms/station_alarms.h"

#include "alarms/alarm_texts.h"
#include "store/reading_rows.h"

#include <algorithm>
#include <cstdlib>

namespace {

const QString Communication = QStringLiteral("communication");

// Turns the alarm on or off with the matching text, unless it already is.
bool turn(AlarmLedger &ledger, const QString &alarm, int subject, bool active, const QString &raisedText,
          const QString &clearedText)
{
    const std::optional<AlarmState> before = ledger.state(alarm, subject);
    if (!before)
        return false;
    if (before->active == active)
        return true;
    return ledger.change(alarm, subject, *before, {active, before->count}, active ? raisedText : clearedText);
}

bool checkSensor(AlarmLedger &ledger, int sensor, LeakSensorState state)
{
    const QString name = QStringLiteral("Sensor %1").arg(sensor);
    const bool normal = state == LeakSensorState::Normal;
    const bool leak = state == LeakSensorState::Leak;
    const bool fault = state == LeakSensorState::Short || state == LeakSensorState::Open;
    if ((normal || leak)
        && !turn(ledger, QStringLiteral("leak"), sensor, leak, name + QStringLiteral(": Vazamento"),
                 name + QStringLiteral(": Normal, fim do vazamento")))
        return false;
    return !(normal || fault)
        || turn(ledger, QStringLiteral("sensor_fault"), sensor, fault,
                QStringLiteral("%1: falha do sensor (%2)").arg(name, sensorStateLabel(state)),
                name + QStringLiteral(": Normal, sensor de volta"));
}

} // namespace

bool checkSensors(AlarmLedger &ledger, const SensorReading &reading, const StationRules &rules)
{
    if (!reading.checkByteMatches)
        return true;
    if (rules.sensors.value_or(true)) {
        const int count = std::min(reading.count, int(reading.states.size()));
        for (int sensor = 1; sensor <= count; ++sensor) {
            if (!checkSensor(ledger, sensor, reading.state(sensor)))
                return false;
        }
    }
    if (!rules.bars.value_or(true))
        return true;
    const bool active[] = {reading.bar1Active, reading.bar2Active};
    for (int bar = 1; bar <= 2; ++bar) {
        const QString name = QStringLiteral("Barra %1").arg(bar);
        if (!turn(ledger, QStringLiteral("bar_inactive"), bar, !active[bar - 1], name + QStringLiteral(" inativa"),
                  name + QStringLiteral(" ativa novamente")))
            return false;
    }
    return true;
}

bool checkPollOutcome(AlarmLedger &ledger, const PollOutcomeWork &outcome, const StationRules &rules)
{
    if (!rules.communicationRounds)
        return true;
    const std::optional<AlarmState> before = ledger.state(Communication, 0);
    if (!before)
        return false;
    if (outcome.succeeded) {
        if (before->count == 0 && !before->active)
            return true;
        return ledger.change(Communication, 0, *before, {false, 0},
                             QStringLiteral("Comunicação restabelecida após %1 consultas sem resposta").arg(before->count));
    }
    const AlarmState now{before->active || before->count + 1 >= *rules.communicationRounds, before->count + 1};
    return ledger.change(Communication, 0, *before, now,
                         QStringLiteral("Sem comunicação em %1 consultas seguidas: %2")
                             .arg(QString::number(now.count), outcome.detail));
}

bool checkClock(AlarmLedger &ledger, const ClockWork &clock, const StationRules &rules)
{
    if (!rules.clockMinutes || !clock.reading.checkByteMatches)
        return true;
    const QDateTime controller = stationTimeUtc(clock.reading.date, clock.reading.time, ledger.input().zone);
    if (!controller.isValid() || !clock.pcTimeUtc.isValid())
        return true;
    const qint64 ahead = clock.pcTimeUtc.secsTo(controller);
    const qint64 minutes = qRound64(std::abs(ahead) / 60.0);
    return turn(ledger, QStringLiteral("clock"), 0, std::abs(ahead) > qint64(*rules.clockMinutes) * 60,
                QStringLiteral("Relógio do controlador %1 min %2 em relação ao PC (tolerância %3 min)")
                    .arg(QString::number(minutes), ahead > 0 ? QStringLiteral("adiantado") : QStringLiteral("atrasado"),
                         QString::number(*rules.clockMinutes)),
                QStringLiteral("Relógio do controlador certo: diferença de %1 min").arg(minutes));
}
