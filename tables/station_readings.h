#pragma once

#include "tables/report_tables.h"

#include <QString>

// What the console knows of the station it is talking to: its name, the tank count its
// controller's configuration declared, and the last reading of each tank or why the last "MA"
// series had none for it. The console keeps one and updates it as replies arrive; the inventory
// window reads it each time it is activated.
class StationReadings {
public:
    const QString &station() const { return station_; }
    int tankCount() const { return tankCount_; }
    const TankTable &tanks() const { return tanks_; }
    const TankFailures &failures() const { return failures_; }

    void setStation(const QString &name) { station_ = name; }
    // Drops everything read, the tank count included; the station stays.
    void clear();
    void setTankCount(int count) { tankCount_ = count; }
    // Only tanks 0-16 have a row; another tank number is not kept.
    void keepReading(int tank, const TankReading &reading);
    void keepFailure(int tank, const QString &why);

private:
    QString station_;
    int tankCount_ = 0;
    TankTable tanks_;
    TankFailures failures_;
};

// The tank count a configuration reply declares, from the number its field starts with:
// fractions dropped, none when it is negative or unreadable.
int declaredTankCount(double number);
