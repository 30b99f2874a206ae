#pragma once

#include "store/database_location.h"

#include <QString>

#include <optional>

// What one round left in a history of its own.
struct StoredRows {
    qint64 measurements = 0;
    qint64 inventories = 0;
    qint64 inventoryItems = 0;
    qint64 sensorReadings = 0;
    qint64 failedPolls = 0;  // "poll_failed" events
};

// Nothing, with the reason in *why, when the history cannot be read.
std::optional<StoredRows> countStoredRows(const DatabaseLocation &location, QString *why);
