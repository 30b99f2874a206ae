#pragma once

#include "simulator/controller_clock.h"
#include "simulator/value_script.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <array>
#include <map>
#include <optional>
#include <vector>

struct SimulatedTank {
    QString product;
    int capacity = 0;
    int measured = 0;                  // volume, or weight when byWeight
    std::optional<int> complementary;  // capacity - measured unless given
    std::optional<int> volume20;       // measured unless given
    double density = 0.0;              // shown as "0.74"
    std::optional<int> levelMm;        // none: the controller reports "S/Inf."
    double expansion = 0.0;            // thermal expansion coefficient
    bool byWeight = false;
    bool enabled = true;
    bool probeOnline = true;
    QDateTime lastMeasurement;         // what "LM" reports

    // Scripted readings: each measurement takes the next measured volume (or volume at 20).
    ValueScript<int> readings;
    ValueScript<int> readingsAt20;
    // Level per unit of volume, fixed at the first scripted measurement.
    std::optional<double> levelPerVolume;

    int complementaryVolume() const;
    int volumeAt20() const;
    // A measurement at `at`: the scripts move on, and "LM" then reports these values and time.
    void measure(const QDateTime &at);
};

// The state character the controller reports for a leak sensor.
enum class SensorState : char { Short = '1', Normal = '2', Leak = '3', Open = '4' };

struct ScheduledMeasurement {
    QTime time;
    int tank = 1;
    int volume = 0;
};

// Everything a controller knows: identity, tanks, leak sensors, its clock and the measurements
// it took on its own schedule.
struct SimulatedStation {
    static constexpr int MaxTanks = 16;
    static constexpr int MaxSensors = 32;

    QString address = QStringLiteral("A01");
    QString version = QStringLiteral("30");
    int ofe = 0;
    int meterType = 1;  // 1 station, 2 industrial, 3 fleet
    QString password;   // empty: any password is accepted

    std::map<int, SimulatedTank> tanks;  // by tank number, 1..16

    int sensorCount = 0;
    std::array<SensorState, MaxSensors> sensors = filledSensors();
    bool bar1Active = false;
    bool bar2Active = false;
    // Each "LS" takes the next state of every scripted sensor and bar.
    std::array<ValueScript<SensorState>, MaxSensors> sensorScripts;
    ValueScript<bool> bar1Script;
    ValueScript<bool> bar2Script;

    std::map<QDate, std::vector<ScheduledMeasurement>> schedule;

    ControllerClock clock;

    // The tank count the controller reports: the highest configured number, so that every
    // configured tank has a selector button on the console; gaps answer "not enabled".
    int tankCount() const;
    SimulatedTank *tank(int number);
    // What one "LS" does to the scripted sensors and bars.
    void readSensors();
    // The console upper-cases what the operator types, so the comparison ignores case.
    bool acceptsPassword(const QByteArray &sent) const;

private:
    static std::array<SensorState, MaxSensors> filledSensors();
};
