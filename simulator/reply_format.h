#pragma once

#include "simulator/simulated_station.h"

#include <QByteArray>
#include <QDateTime>

// Reply bodies as the controller sends them: the two-letter code of the request, then fixed-width
// fields. Framing is separate (frameReply).

QByteArray identificationReply(const SimulatedStation &station);
QByteArray configurationReply(const SimulatedStation &station);
// "LR" and "AR": HHMMSS, DDMMAA, day of the week as two digits, 01 = Sunday ... 07 = Saturday.
QByteArray clockReply(const QByteArray &code, const QDateTime &now);
// "MT", "LM" and "MA": the 69-character record of one tank, measured at `at`.
QByteArray measurementReply(const QByteArray &code, int tankNumber, const SimulatedTank &tank, const QDateTime &at);
QByteArray sensorReply(const SimulatedStation &station);
// "MP": one scheduled measurement; SOH follows when more records of the series come after it.
QByteArray scheduledReply(const QDate &date, const ScheduledMeasurement &record, bool moreFollow);
QByteArray errorReply(const QByteArray &code, const QByteArray &error);

// Marks the last reply of a reading of all tanks: CR at frame position 44, inside the
// complementary-volume field. An error reply is too short to carry it and is left as it is.
void markEndOfReading(QByteArray &measurementBody);

// STX, body, ETX, check byte. Unlike request framing, the case of the body is kept: product
// names may hold lower-case letters.
QByteArray frameReply(const QByteArray &body);
