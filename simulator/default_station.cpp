#include "simulator/default_station.h"

namespace {

SimulatedTank tank(const char *product, int capacity, int measured, int volume20, double density, int levelMm,
                   double expansion)
{
    SimulatedTank t;
    t.product = QString::fromLatin1(product);
    t.capacity = capacity;
    t.measured = measured;
    t.volume20 = volume20;
    t.density = density;
    t.levelMm = levelMm;
    t.expansion = expansion;
    return t;
}

} // namespace

SimulatedStation demonstrationStation()
{
    SimulatedStation station;
    station.ofe = 4127;
    station.meterType = 1;

    station.tanks[1] = tank("GASOLINA", 30000, 18250, 18130, 0.74, 1420, 0.0012);
    station.tanks[2] = tank("DIESEL S10", 30000, 22400, 22310, 0.84, 1735, 0.0008);
    station.tanks[3] = tank("GASOLINA", 15000, 4100, 4070, 0.74, 610, 0.0012);
    station.tanks[4] = tank("ETANOL", 15000, 9800, 9740, 0.79, 1190, 0.0011);
    const QDateTime started = station.clock.now();
    for (auto &entry : station.tanks)
        entry.second.lastMeasurement = started;

    station.sensorCount = 8;
    station.sensors[6] = SensorState::Leak;
    station.bar1Active = true;

    const QDate today = started.date();
    station.schedule[today] = {
        {QTime(6, 0), 1, 18900},
        {QTime(6, 0), 2, 23050},
        {QTime(12, 0), 1, 18520},
        {QTime(12, 0), 2, 22610},
    };
    station.schedule[QDate(2024, 3, 1)] = {
        {QTime(6, 0), 1, 21000},
        {QTime(6, 0), 4, 12100},
        {QTime(18, 30), 3, 6400},
    };
    return station;
}
