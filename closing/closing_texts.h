#pragma once

#include "closing/day_figures.h"

#include <QString>
#include <QTimeZone>

// The closing's words for people, all in one place. Times are shown in the station's zone.
QString closingProblemText(const ClosingProblem &problem, const QTimeZone &zone);
