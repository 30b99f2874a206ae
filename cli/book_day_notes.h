#pragma once

#include "closing/closing_book.h"

#include <QStringList>
#include <QTimeZone>

// What a day's tables do not show, one line each, for the text output: whether the day is
// closed, by whom and when (in the station's zone), a physical stock typed from the dipstick and
// why, and the tanks the book leaves out.
QStringList bookDayNotes(const BookDay &day, const QTimeZone &zone);
