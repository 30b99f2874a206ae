#pragma once

#include "closing/day_figures.h"

#include <QDateTime>
#include <QMap>
#include <QString>

// The stock book's worked days, for the tests of its figures and of the windows that show them.

QDateTime utc(const QString &text);

StockSnapshot snapshot(const QString &at, const QMap<int, double> &litres);

// A day of two gasoline tanks (1, 2) and a diesel tank (3), nozzles 1–2 on tank 1, 3 on tank 2
// and 4 on tank 3, every figure set so that nothing is lost; diesel sells 1000 L of 15000.
DayInputs balancedDay();
