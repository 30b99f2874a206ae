#include "closing/closing_day.h"

QDateTime closingInstant(QDate date, QTime hour, const QTimeZone &zone)
{
    const QDateTime local(date, hour, zone);
    if (local.isValid() && local.date() == date && local.time() == hour)
        return local.toUTC();
    // The hour fell in a gap, which Qt either refuses or moves on by the gap's length: the day
    // starts where the gap ends. The day before at noon stands before any gap of this date.
    const QTimeZone::OffsetData transition = zone.nextTransition(QDateTime(date.addDays(-1), QTime(12, 0), zone));
    if (transition.atUtc.isValid())
        return transition.atUtc.toUTC();
    return local.toUTC();
}

QDateTime ClosingDay::start() const
{
    return closingInstant(date, closingHour, zone);
}

QDateTime ClosingDay::end() const
{
    return closingInstant(date.addDays(1), closingHour, zone);
}

ClosingDay ClosingDay::containing(const QDateTime &instant, QTime closingHour, const QTimeZone &zone)
{
    ClosingDay day{instant.toTimeZone(zone).date(), closingHour, zone};
    if (instant < day.start())
        day.date = day.date.addDays(-1);
    return day;
}
