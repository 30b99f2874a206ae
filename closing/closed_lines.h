#pragma once

#include "closing/day_figures.h"
#include "store/closing_rows.h"

// A day's figures as the store keeps a closed day, and back, so that a closed day reads as it
// was computed whatever has changed in its records since.
QList<ClosedLine> closedLines(const DayFigures &figures);
DayFigures figuresOf(const ClosedDay &day);
