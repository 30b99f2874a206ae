#pragma once

#include "session/readings.h"

#include <QByteArray>

// Typed readings from whole reply frames (STX, code, body, ETX, check byte), as stored by the
// link. Fields are taken at their positions as they stand; the check byte is compared, not
// enforced.
QByteArray replyCode(const QByteArray &frame);  // positions 2-3
bool isErrorReply(const QByteArray &frame);     // position 4 is "E"
bool checkByteMatches(const QByteArray &frame);

MeasurementReading decodeMeasurementReading(const QByteArray &frame);
ClockReading decodeClockReading(const QByteArray &frame);
SensorReading decodeSensorReading(const QByteArray &frame, int sensorCount);
ConfigurationReading decodeConfigurationReading(const QByteArray &frame);
IdentificationReading decodeIdentificationReading(const QByteArray &frame);
ScheduledReading decodeScheduledReading(const QByteArray &frame);
ErrorReply decodeErrorReply(const QByteArray &frame);
