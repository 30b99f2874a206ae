#pragma once

#include "alarms/alarm_config.h"
#include "alarms/alarm_file_problem.h"
#include "base/result.h"
#include "store/write_rules.h"

#include <QString>

#include <memory>

// The alarms and deliveries of alarmes.ini, decided as the history writes each reading, so that
// the console and the poller raise each alarm once whichever of them read the value, and a
// restart raises nothing again: what was decided is in alarm_state. Given to the store as
//   HistoryStoreOptions options;
//   options.rules = loadAlarmRules(dataDirectory).valueOr(nullptr);  // nothing: no file, or a broken one
//   connect(&store, &HistoryStore::alarmChanged, ...);
class AlarmRules : public WriteRules {
public:
    explicit AlarmRules(const AlarmConfig &config);

    Result<QList<AlarmNotice>, QSqlError> apply(const RuleInput &input) const override;
    // For the rules decided outside the writer: the daily book's cumulative loss.
    const AlarmConfig &config() const { return config_; }

private:
    AlarmConfig config_;
};

QString alarmRulesFileName();  // "alarmes.ini"
// alarmes.ini in a data directory that ends with a separator, beside the history; nothing
// without a file.
Result<std::shared_ptr<AlarmRules>, AlarmFileProblem> loadAlarmRules(const QString &dataDirectory);
