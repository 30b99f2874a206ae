#pragma once

#include <QString>

constexpr int TenYearsOfHours = 87600;

// Ten years of hourly readings of `tanks` tanks of benchStation(), kept through the store into a
// new file. A day of readings goes in one call, so the file fills in about a minute rather than
// at one commit per hour. False, after saying why on stderr, when the store could not write.
bool fillTenYears(const QString &path, int tanks);
