#pragma once

#include <QString>
#include <array>

// Tabela_Tanques: the last reading of each tank, rows 0-16 by tank number, fields
// 0 tank number, 1 measured volume, 2 complementary volume, 3 density, 4 product, 5 date, 6 time.
inline constexpr int TankRows = 17;
using TankReading = std::array<QString, 7>;
using TankTable = std::array<TankReading, TankRows>;

// Tabela_Medicoes: the records of the last scheduled-measurement request, in order of arrival,
// fields 0 date (DDMMAA), 1 time (HHMMSS), 2 volume, 3 tank number.
inline constexpr int ScheduledCapacity = 101;
using ScheduledRecord = std::array<QString, 4>;
using ScheduledTable = std::array<ScheduledRecord, ScheduledCapacity>;
