#pragma once

#include "session/readings.h"
#include "store/store_types.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <variant>

// One unit of work for the writer, written in one transaction.

struct MeasurementWork {
    MeasurementReading reading;
    Origin origin;
};

struct InventoryWork {
    QList<MeasurementReading> readings;
    Origin origin;
};

struct SensorWork {
    SensorReading reading;
};

struct ScheduledWork {
    QList<ScheduledReading> readings;
};

struct EventWork {
    EventKind kind;
    QString detail;
};

// Kept only for the rules: the history has no table of clock readings.
struct ClockWork {
    ClockReading reading;
    QDateTime pcTimeUtc;
};

struct PollOutcomeWork {
    bool succeeded;
    QString detail;  // why it failed
};

struct WriteJob {
    quint64 sequence = 0;
    StationIdentity station;
    QDateTime receivedAt;  // UTC, when the caller handed it over
    std::variant<MeasurementWork, InventoryWork, SensorWork, ScheduledWork, EventWork, ClockWork, PollOutcomeWork> work;
};

// What had to be dropped unwritten.
struct DroppedCounts {
    qint64 readings = 0;
    qint64 events = 0;

    bool any() const { return readings > 0 || events > 0; }
    DroppedCounts &operator+=(const DroppedCounts &other);
};

// The readings a job carries, or the one event it is.
DroppedCounts droppedCounts(const WriteJob &job);
