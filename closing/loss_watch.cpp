#include "closing/loss_watch.h"

#include "alarms/alarm_texts.h"

namespace {

const QString Alarm = QStringLiteral("cumulative_loss");

// alarm_state names a subject by number: a product's is the lowest of its tanks.
int subjectOf(const QString &product, const QList<DayFigures> &days)
{
    int subject = 0;
    for (const DayFigures &day : days)
        for (const TankFigures &tank : day.tanks)
            if (tank.product == product && (subject == 0 || tank.tank < subject))
                subject = tank.tank;
    return subject;
}

Result<QList<DayFigures>, QSqlError> closedDaysOfMonth(ClosingBook &book, QDate last)
{
    QList<DayFigures> days;
    for (QDate date(last.year(), last.month(), 1); date <= last; date = date.addDays(1)) {
        const Result<BookDay, QSqlError> day = book.day(date);
        if (!day)
            return failure(day.error());
        if (day->closed)
            days << day->figures;
    }
    return days;
}

} // namespace

Result<QList<LossAlarmTurn>, QSqlError> watchCumulativeLoss(ClosingBook &book, const LevelLimits &limits)
{
    const Result<std::optional<QDate>, QSqlError> last = book.tables().lastClosedDay();
    if (!last)
        return failure(last.error());
    if (!*last)
        return QList<LossAlarmTurn>();
    const Result<QList<DayFigures>, QSqlError> days = closedDaysOfMonth(book, **last);
    if (!days)
        return failure(days.error());
    const QList<MonthProduct> month = summarizeMonth(*days);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<LossAlarmTurn> turns;
    ClosingTables &tables = book.tables();
    const Result<void, QSqlError> kept = tables.inTransaction([&]() -> Result<void, QSqlError> {
        if (const Result<void, QSqlError> held = tables.holdStation(); !held)
            return held;
        for (const MonthProduct &product : month) {
            const int subject = subjectOf(product.product, *days);
            const Result<AlarmState, QSqlError> before = tables.alarmState(Alarm, subject);
            if (!before)
                return failure(before.error());
            const bool on = product.lossAlarmOn(before->active, limits);
            if (const Result<void, QSqlError> stored = tables.setAlarmState(Alarm, subject, {on, 0}, now); !stored)
                return stored;
            if (on == before->active)
                continue;
            const double percent = -product.cumulativePercent.value_or(0);
            const QString detail =
                on ? cumulativeLossText(product.product, **last, -product.cumulativeVariance, percent, limits.raiseAt)
                   : cumulativeLossRestoredText(product.product, **last, percent);
            const QString kind = Alarm + (on ? QStringLiteral("_raised") : QStringLiteral("_cleared"));
            if (const Result<void, QSqlError> told = tables.addEvent(kind, detail, now); !told)
                return told;
            turns << LossAlarmTurn{product.product, on, detail};
        }
        return {};
    });
    if (!kept)
        return failure(kept.error());
    return turns;
}
