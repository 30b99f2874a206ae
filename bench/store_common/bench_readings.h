#pragma once

#include "session/readings.h"
#include "store/store_types.h"

#include <QDateTime>

#include <vector>

// The readings the store benchmarks keep: a station of 16 tanks read every hour, decoded from
// real reply frames as the session would decode them.

StationIdentity benchStation();
// The station's first reading time (UTC, which is also the station's zone).
QDateTime benchStart();
// Tank `tank` (1-16) at `hour` hours after benchStart(), volumes falling with sales and rising
// with a delivery every 30 days.
MeasurementReading hourlyReading(int tank, int hour, const QByteArray &code = "MA");

// The value below which a share `q` (0-1) of the values lie (nearest rank); 0 for none.
double quantile(std::vector<double> values, double q);
