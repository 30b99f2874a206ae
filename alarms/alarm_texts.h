#pragma once

#include <QDateTime>
#include <QString>
#include <QTimeZone>

// Numbers and times in the alarms' texts, as the operator writes them.
QString decimalText(double value, int decimals);
QString litresText(double litres);  // "6.500 L"
QString localTimeText(const QDateTime &utc, const QTimeZone &zone);  // "05/03/2024 10:30"
