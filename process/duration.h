#pragma once

#include "base/result.h"

class QString;

// Why a text is no duration.
enum class DurationProblem { NotANumber, NotPositive, TooLong };

// The milliseconds in `text`, a number of units of `unitMs` milliseconds, fractions allowed
// ("0.5"), more than zero and at most `longestUnits`; never less than 1.
Result<int, DurationProblem> durationMs(const QString &text, double unitMs, double longestUnits);
