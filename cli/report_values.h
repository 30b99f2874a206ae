#pragma once

#include "cli/command_report.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

// The values every output format shows, taken once from the controller's fixed-width texts:
// numbers only when the field is a complete number, times only when the date is possible.

struct MeasurementValues {
    std::optional<double> tank;
    QString product;  // blanks around it removed
    std::optional<double> measured;
    std::optional<double> complementary;
    std::optional<double> volume20;
    std::optional<double> density;
    std::optional<double> level;
    std::optional<double> expansion;
    std::optional<double> capacity;
    QString unit;  // "L", or "kg" for a tank measured by weight
    std::optional<QDateTime> time;
};
MeasurementValues measurementValues(const MeasurementReading &reading);
QString measurementUnit(const MeasurementReading &reading);

// The tank of an answer: the one the reply names, else the one asked for.
std::optional<double> answerTank(const TankAnswer &answer);

// What stands in for the values of a tank without a reading: the controller's error code (empty
// for an unusable reply, which has none) and the text.
struct AnswerError {
    QString code;
    QString text;
};
std::optional<AnswerError> answerError(const TankAnswer &answer);

// A DDMMAA date on its own, 20AA.
std::optional<QDate> controllerDate(const QString &date);

// "normal", "short", "leak", "open"; empty for no state.
QString sensorStateName(LeakSensorState state);

// "2024-12-31T15:30:00" and "2024-12-31": local time, no offset.
QString isoDateTime(const QDateTime &time);
QString isoDate(const QDate &date);
// A number with a decimal point and no exponent for the values a controller sends.
QString numberText(double value);
// The same as Brazilians write it, whatever the system's locale: "152.940,5", "-0,82".
QString brazilianNumberText(double value);
