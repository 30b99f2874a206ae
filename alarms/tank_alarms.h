#pragma once

#include "alarms/alarm_config.h"
#include "alarms/alarm_ledger.h"
#include "store/reading_rows.h"

// One tank's reading against its rules: low and high level (of the latest reading only, so a
// reading from the controller's memory does not undo the present), and the delivery it confirms.
RuleResult checkTank(AlarmLedger &ledger, const MeasurementRow &row, const TankRules &rules);
