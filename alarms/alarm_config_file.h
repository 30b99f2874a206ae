#pragma once

#include "alarms/alarm_config.h"

#include <QString>
#include <QStringList>

#include <optional>

// alarmes.ini (UTF-8): alarms/alarmes-exemplo.ini shows every section and key. Keys, section
// words and product names compare without regard to case, repeated blanks or accents. A file
// with any problem is refused whole, so that no half-read rule stays silent; each problem names
// its line.
struct AlarmConfigLoad {
    std::optional<AlarmConfig> config;
    QStringList problems;  // "linha 7: ..."
};

AlarmConfigLoad parseAlarmConfig(const QString &text);
