#pragma once

#include "session/readings.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <optional>

// The column values of the readings as the history keeps them: numbers as numbers, NULL for a
// field that is not a complete number, times in UTC.

struct MeasurementRow {
    int tank = 0;
    QString product;  // without the field's padding blanks, control characters as U+FFFD
    QString unit;     // "L", or "kg" for a tank measured by weight
    std::optional<double> measured;
    std::optional<double> complementary;  // nothing when the end-of-reading CR cuts it
    std::optional<double> volume20;
    std::optional<double> density;
    std::optional<double> levelMm;
    std::optional<double> expansion;
    std::optional<double> capacity;
    QDateTime measuredAt;  // UTC; invalid for an impossible date
    QString command;
};

struct ScheduledRow {
    int tank = 0;
    std::optional<double> volume;
    QDateTime measuredAt;  // UTC; invalid for an impossible date
};

// The controller's DDMMAA and HHMMSS (20AA) in the station's zone, as UTC; invalid for an
// impossible date.
QDateTime stationTimeUtc(const QString &date, const QString &time, const QTimeZone &zone);

// Nothing when the tank field is not a whole number: no row can hold such a reading.
std::optional<MeasurementRow> measurementRow(const MeasurementReading &reading, const QTimeZone &zone);
std::optional<ScheduledRow> scheduledRow(const ScheduledReading &reading, const QTimeZone &zone);

// One letter per sensor the controller declared: C em curto, N normal, V vazamento, A aberto,
// '-' for a character that is no state.
QString sensorLetters(const SensorReading &reading);

// The reading's fields as received, for an event's detail (whose control characters the store
// replaces as it writes it).
QString measurementSummary(const MeasurementReading &reading);
QString scheduledSummary(const ScheduledReading &reading);
