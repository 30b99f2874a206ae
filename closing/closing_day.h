#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QTimeZone>

// Day D of the book runs from the closing hour on D to the closing hour on D+1, in the station's
// zone. A closing hour that a daylight-saving change skips on some date starts that day at the
// first instant after the gap.
struct ClosingDay {
    QDate date;
    QTime closingHour;
    QTimeZone zone;

    QDateTime start() const;
    QDateTime end() const;  // the next day's start

    // The book day an instant belongs to.
    static ClosingDay containing(const QDateTime &instant, QTime closingHour, const QTimeZone &zone);
};

// The instant that day `date` reaches `hour` in `zone`, as UTC.
QDateTime closingInstant(QDate date, QTime hour, const QTimeZone &zone);
