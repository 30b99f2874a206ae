#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>

// A stored station's zone: its IANA name, or the PC's zone when the name is empty or unknown.
QTimeZone stationZone(const QString &ianaName);
// "DD/MM/AAAA HH:MM:SS" in the zone.
QString stationTimeText(const QDateTime &at, const QTimeZone &zone);
// The chart's date-time axis labels in the PC's zone; this moves an instant so that its label
// reads the station's wall-clock time instead.
qint64 chartMsInZone(qint64 utcMs, const QTimeZone &zone);
