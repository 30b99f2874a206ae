#pragma once

#include "alarms/alarm_config.h"
#include "alarms/alarm_ledger.h"
#include "session/readings.h"
#include "store/write_job.h"

// A station's alarms: leak sensors and bars, communication, and the controller's clock. Each is
// raised when the condition starts and cleared when it ends, never repeated meanwhile.

// A leak ("Vazamento") and a faulty sensor ("em Curto", "Aberto") are separate alarms; each ends
// when the sensor reads "Normal" again. A bar reading inactive is an alarm until it is active.
RuleResult checkSensors(AlarmLedger &ledger, const SensorReading &reading, const StationRules &rules);
// Raised after the set number of failed polls in a row, cleared by the next that succeeds.
RuleResult checkPollOutcome(AlarmLedger &ledger, const PollOutcomeWork &outcome, const StationRules &rules);
// The controller's time in the station's zone against the PC's, beyond the minutes tolerated.
RuleResult checkClock(AlarmLedger &ledger, const ClockWork &clock, const StationRules &rules);
