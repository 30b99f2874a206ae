#pragma once

#include <QDateTime>

// The rows the alarm rules read and write, as they see them.

struct AlarmState {
    bool active = false;
    int count = 0;  // failed polls in a row, for the communication alarm
};

// A tank's volume at 20 °C in one reading.
struct VolumeAt {
    QDateTime at;
    double volume = 0;
};

struct Delivery {
    QDateTime startedAt;  // the last reading before the rise
    QDateTime endedAt;    // the reading at the top of the rise
    double amount = 0;
};
