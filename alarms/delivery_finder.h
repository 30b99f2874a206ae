#pragma once

#include "store/alarm_rows.h"

#include <QList>

#include <optional>

// The delivery the newest reading confirms: the readings before it rose one after another by at
// least `minimum` in all, and the newest, which rises no further, still stands that much above
// where the rise began. A rise spread over several readings is one delivery; a single high
// reading that falls back is none. Readings newest first.
std::optional<Delivery> confirmedDelivery(const QList<VolumeAt> &newestFirst, double minimum);
