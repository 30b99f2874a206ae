#pragma once

#include "alarms/alarm_config.h"
#include "store/write_rules.h"

#include <QString>

#include <memory>

// The alarms and deliveries of alarmes.ini, decided as the history writes each reading, so that
// the console and the poller raise each alarm once whichever of them read the value, and a
// restart raises nothing again: what was decided is in alarm_state. Given to the store as
//   HistoryStoreOptions options;
//   options.rules = loadAlarmRules(dataDirectory).rules;  // nothing: no file, or a broken one
//   connect(&store, &HistoryStore::alarmChanged, ...);
class AlarmRules : public WriteRules {
public:
    explicit AlarmRules(const AlarmConfig &config);

    bool apply(const RuleInput &input, QList<AlarmNotice> *notices, QSqlError *error) const override;

private:
    AlarmConfig config_;
};

struct AlarmRulesLoad {
    std::shared_ptr<AlarmRules> rules;  // nothing without a file, or when it cannot be used
    QString problem;                    // why the file cannot be used, for the operator
};

QString alarmRulesFileName();  // "alarmes.ini"
// alarmes.ini in a data directory that ends with a separator, beside the history.
AlarmRulesLoad loadAlarmRules(const QString &dataDirectory);
