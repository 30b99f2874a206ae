#pragma once

#include <QString>
#include <array>
#include <tuple>

// The last reading of each tank, as the controller sent its fields, blanks kept: the windows
// that show them format them. A row whose tank number is blank holds no reading.
struct TankReading {
    QString tank;
    QString measured;       // volume or weight
    QString complementary;  // volume or weight
    QString density;
    QString product;
    QString date;  // DDMMAA
    QString time;  // HHMMSS
};

inline bool operator==(const TankReading &a, const TankReading &b)
{
    return std::tie(a.tank, a.measured, a.complementary, a.density, a.product, a.date, a.time)
        == std::tie(b.tank, b.measured, b.complementary, b.density, b.product, b.date, b.time);
}

// Rows 0-16 by tank number.
inline constexpr int TankRows = 17;
using TankTable = std::array<TankReading, TankRows>;

// Why a tank answered its last "MA" series without a reading, rows 0-16 by tank number; empty
// while its row holds a reading, or it was never asked.
using TankFailures = std::array<QString, TankRows>;

// One record of a scheduled-measurement request, as the controller sent it.
struct ScheduledRecord {
    QString date;  // DDMMAA
    QString time;  // HHMMSS
    QString volume;
    QString tank;
};

inline bool operator==(const ScheduledRecord &a, const ScheduledRecord &b)
{
    return std::tie(a.date, a.time, a.volume, a.tank) == std::tie(b.date, b.time, b.volume, b.tank);
}

// The records of the last scheduled-measurement request, in order of arrival.
inline constexpr int ScheduledCapacity = 101;
using ScheduledTable = std::array<ScheduledRecord, ScheduledCapacity>;
