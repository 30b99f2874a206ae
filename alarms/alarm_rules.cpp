#include "alarms/alarm_rules.h"

#include "alarms/alarm_config_file.h"
#include "alarms/alarm_ledger.h"
#include "alarms/station_alarms.h"
#include "alarms/tank_alarms.h"
#include "store/reading_rows.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <typename... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

} // namespace

AlarmRules::AlarmRules(const AlarmConfig &config) : config_(config) {}

bool AlarmRules::apply(const RuleInput &input, QList<AlarmNotice> *notices, QSqlError *error) const
{
    AlarmLedger ledger(input, notices, error);
    const StationNames names{input.host, input.ofe};
    const auto tank = [&](const MeasurementReading &reading) {
        if (!reading.checkByteMatches)
            return true;
        const std::optional<MeasurementRow> row = measurementRow(reading, input.zone);
        return !row || checkTank(ledger, *row, config_.tank(names, row->tank, row->product));
    };
    return std::visit(
        Overloaded{
            [&](const MeasurementWork &work) { return tank(work.reading); },
            [&](const InventoryWork &work) { return std::all_of(work.readings.begin(), work.readings.end(), tank); },
            [&](const SensorWork &work) { return checkSensors(ledger, work.reading, config_.station(names)); },
            [&](const PollOutcomeWork &work) { return checkPollOutcome(ledger, work, config_.station(names)); },
            [&](const ClockWork &work) { return checkClock(ledger, work, config_.station(names)); },
            [](const ScheduledWork &) { return true; },
            [](const EventWork &) { return true; },
        },
        input.job.work);
}

QString alarmRulesFileName()
{
    return QStringLiteral("alarmes.ini");
}

AlarmRulesLoad loadAlarmRules(const QString &dataDirectory)
{
    const QString path = dataDirectory + alarmRulesFileName();
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return {nullptr, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString())};
    const AlarmConfigLoad load = parseAlarmConfig(QString::fromUtf8(file.readAll()));
    if (!load.config)
        return {nullptr, QStringLiteral("%1, %2").arg(QDir::toNativeSeparators(path), load.problems.join(QStringLiteral("; ")))};
    return {std::make_shared<AlarmRules>(*load.config), {}};
}
