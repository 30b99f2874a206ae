#include "tables/station_readings.h"

#include <limits>

namespace {

bool hasRow(int tank)
{
    return tank >= 0 && tank < TankRows;
}

} // namespace

void StationReadings::clear()
{
    tankCount_ = 0;
    tanks_ = {};
    failures_ = {};
}

void StationReadings::keepReading(int tank, const TankReading &reading)
{
    if (!hasRow(tank))
        return;
    tanks_[std::size_t(tank)] = reading;
    failures_[std::size_t(tank)].clear();
}

void StationReadings::keepFailure(int tank, const QString &why)
{
    if (!hasRow(tank))
        return;
    tanks_[std::size_t(tank)] = {};
    failures_[std::size_t(tank)] = why;
}

int declaredTankCount(double number)
{
    if (!(number >= 0))
        return 0;
    if (number >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return int(number);
}
