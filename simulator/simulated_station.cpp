#include "simulator/simulated_station.h"

#include "codec/windows1252.h"
#include "protocol/frame.h"

#include <algorithm>

int SimulatedTank::complementaryVolume() const
{
    return complementary.value_or(std::max(0, capacity - measured));
}

int SimulatedTank::volumeAt20() const
{
    return volume20.value_or(measured);
}

int SimulatedStation::tankCount() const
{
    return tanks.empty() ? 0 : tanks.rbegin()->first;
}

SimulatedTank *SimulatedStation::tank(int number)
{
    const auto found = tanks.find(number);
    return found == tanks.end() ? nullptr : &found->second;
}

bool SimulatedStation::acceptsPassword(const QByteArray &sent) const
{
    if (password.isEmpty())
        return true;
    return zelta::upperCase1252(std::string_view(sent.constData(), std::size_t(sent.size())))
        == zelta::upperCase1252(toWindows1252(password));
}

std::array<SensorState, SimulatedStation::MaxSensors> SimulatedStation::filledSensors()
{
    std::array<SensorState, MaxSensors> states;
    states.fill(SensorState::Normal);
    return states;
}
