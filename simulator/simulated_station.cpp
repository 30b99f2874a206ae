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

void SimulatedTank::measure(const QDateTime &at)
{
    lastMeasurement = at;
    // The level given belongs to the volume the tank starts with; scripted volumes move it in
    // proportion, as in an upright tank. Without a volume to scale from it stays as given.
    if (!readings.isEmpty() && !readings.started() && levelMm && measured > 0)
        levelPerVolume = double(*levelMm) / measured;
    if (const std::optional<int> volume = readings.take()) {
        measured = *volume;
        if (levelPerVolume)
            levelMm = qRound(*levelPerVolume * measured);
        if (readingsAt20.isEmpty())
            volume20.reset();
    }
    if (const std::optional<int> volume = readingsAt20.take())
        volume20 = *volume;
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

void SimulatedStation::readSensors()
{
    for (std::size_t i = 0; i < sensors.size(); ++i)
        sensors[i] = sensorScripts[i].take().value_or(sensors[i]);
    bar1Active = bar1Script.take().value_or(bar1Active);
    bar2Active = bar2Script.take().value_or(bar2Active);
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
