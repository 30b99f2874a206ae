#pragma once

#include <QDateTime>
#include <QList>

#include <optional>

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

// The delivery the newest reading confirms: the readings before it rose one after another by at
// least `minimum` in all, and the newest, which rises no further, still stands that much above
// where the rise began. A rise spread over several readings is one delivery; a single high
// reading that falls back is none. Readings newest first.
std::optional<Delivery> confirmedDelivery(const QList<VolumeAt> &newestFirst, double minimum);
