#pragma once

#include "alarms/alarm_config.h"
#include "base/result.h"

#include <QString>
#include <QStringList>

// alarmes.ini (UTF-8): alarms/alarmes-exemplo.ini shows every section and key. Keys, section
// words and product names compare without regard to case, repeated blanks or accents. A file
// with any problem is refused whole, so that no half-read rule stays silent; each problem names
// its line ("linha 7: ...").
Result<AlarmConfig, QStringList> parseAlarmConfig(const QString &text);
