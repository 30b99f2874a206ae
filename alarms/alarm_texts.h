#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTimeZone>

// Numbers and times in the alarms' texts, as the operator writes them.
QString decimalText(double value, int decimals);
QString litresText(double litres);  // "6.500 L"
QString localTimeText(const QDateTime &utc, const QTimeZone &zone);  // "05/03/2024 10:30"

// The details of the alarms each raises or clears, as the history keeps them and the notices say them.
QString leakText(int sensor, bool leak);  // "Sensor 3: Vazamento"
QString sensorFaultText(int sensor, bool fault, const QString &stateLabel);
QString barText(int bar, bool inactive);  // "Barra 1 inativa"
QString communicationRestoredText(int failedPolls);
QString communicationLostText(int failedPolls, const QString &detail);
QString clockOffText(qint64 minutes, bool ahead, int toleratedMinutes);
QString clockRightText(qint64 minutes);
QString tankText(int tank, const QString &product);  // "Tanque 1 (GASOLINA C)"
QString lowLevelName();
QString highLevelName();
QString levelRaisedText(const QString &tank, const QString &levelName, double percent, double limit);
QString levelRestoredText(const QString &tank, const QString &levelName, double percent);
QString deliveryText(const QString &tank, double litres, const QString &from, const QString &to);
// "GASOLINA: perda acumulada em 12/2026 de 95 L, 0,63% das vendas (limite 0,6%)"
QString cumulativeLossText(const QString &product, QDate month, double litres, double percent, double limit);
QString cumulativeLossRestoredText(const QString &product, QDate month, double percent);
