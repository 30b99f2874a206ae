#include "alarms/alarm_rules.h"

#include "alarms/alarm_config_file.h"
#include "alarms/alarm_ledger.h"
#include "alarms/alarms_log.h"
#include "alarms/station_alarms.h"
#include "alarms/tank_alarms.h"
#include "codec/file_text.h"
#include "store/reading_rows.h"

#include <QFile>


namespace {

template <typename... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
template <typename... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

} // namespace

AlarmRules::AlarmRules(const AlarmConfig &config) : config_(config) {}

Result<QList<AlarmNotice>, QSqlError> AlarmRules::apply(const RuleInput &input) const
{
    AlarmLedger ledger(input);
    const StationNames names{input.host, input.ofe};
    const auto tank = [&](const MeasurementReading &reading) -> RuleResult {
        if (!reading.checkByteMatches)
            return {};
        const std::optional<MeasurementRow> row = measurementRow(reading, input.zone);
        if (!row)
            return {};
        return checkTank(ledger, *row, config_.tank(names, row->tank, row->product));
    };
    const RuleResult checked = std::visit(
        Overloaded{
            [&](const MeasurementWork &work) { return tank(work.reading); },
            [&](const InventoryWork &work) {
                for (const MeasurementReading &reading : work.readings) {
                    if (const RuleResult done = tank(reading); !done)
                        return done;
                }
                return RuleResult();
            },
            [&](const SensorWork &work) { return checkSensors(ledger, work.reading, config_.station(names)); },
            [&](const PollOutcomeWork &work) { return checkPollOutcome(ledger, work, config_.station(names)); },
            [&](const ClockWork &work) { return checkClock(ledger, work, config_.station(names)); },
            [](const ScheduledWork &) { return RuleResult(); },
            [](const EventWork &) { return RuleResult(); },
        },
        input.job.work);
    if (!checked) {
        qCInfo(lcAlarms).noquote() << checked.error().text();
        return failure(checked.error());
    }
    return ledger.takeNotices();
}

QString alarmRulesFileName()
{
    return QStringLiteral("alarmes.ini");
}

Result<std::shared_ptr<AlarmRules>, AlarmFileProblem> loadAlarmRules(const QString &dataDirectory)
{
    const QString path = dataDirectory + alarmRulesFileName();
    QFile file(path);
    if (!file.exists())
        return std::shared_ptr<AlarmRules>();
    if (QString problem; !openRegularFile(file, &problem))
        return failure(AlarmFileProblem{AlarmFileProblem::Kind::NotOpened, path, problem, {}});
    const Result<AlarmConfig, QStringList> config = parseAlarmConfig(QString::fromUtf8(file.readAll()));
    if (!config)
        return failure(AlarmFileProblem{AlarmFileProblem::Kind::Invalid, path, {}, config.error()});
    return std::make_shared<AlarmRules>(*config);
}
