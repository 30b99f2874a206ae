#include "closing/closing_book.h"

#include <QSet>

namespace {

InputRefusal engineFailure(const QSqlError &error)
{
    return {InputRefusal::Engine, {}, 0, error};
}

template <typename Row>
QList<QDate> daysOf(const QList<Row> &rows)
{
    QList<QDate> days;
    for (const Row &row : rows)
        if (!days.contains(row.day))
            days << row.day;
    return days;
}

} // namespace

Result<std::optional<QDate>, QSqlError> ClosingBook::closedAmong(const QList<QDate> &days) const
{
    for (const QDate day : days) {
        const Result<std::optional<ClosedDay>, QSqlError> closed = tables_.closedDay(day);
        if (!closed)
            return failure(closed.error());
        if (*closed)
            return std::optional<QDate>(day);
    }
    return std::optional<QDate>();
}

Result<void, InputRefusal> ClosingBook::keepIfOpen(const QList<QDate> &days,
                                                   const std::function<Result<void, QSqlError>()> &keep)
{
    const Result<std::optional<QDate>, QSqlError> closed = closedAmong(days);
    if (!closed)
        return failure(engineFailure(closed.error()));
    if (*closed)
        return failure(InputRefusal{InputRefusal::DayClosed, **closed, 0, {}});
    if (const Result<void, QSqlError> kept = keep(); !kept)
        return failure(engineFailure(kept.error()));
    return {};
}

Result<void, InputRefusal> ClosingBook::storeTotalisers(const QList<TotaliserRecord> &rows)
{
    const Result<QList<NozzleRecord>, QSqlError> nozzles = tables_.nozzles();
    if (!nozzles)
        return failure(engineFailure(nozzles.error()));
    QSet<int> known;
    for (const NozzleRecord &nozzle : *nozzles)
        known.insert(nozzle.nozzle);
    for (const TotaliserRecord &row : rows)
        if (!known.contains(row.nozzle))
            return failure(InputRefusal{InputRefusal::UnknownNozzle, row.day, row.nozzle, {}});
    return keepIfOpen(daysOf(rows), [&] { return tables_.storeTotalisers(rows); });
}

Result<void, InputRefusal> ClosingBook::storePrices(const QList<PriceRecord> &rows)
{
    return keepIfOpen(daysOf(rows), [&] { return tables_.storePrices(rows); });
}

Result<void, InputRefusal> ClosingBook::storeDipstick(QDate day, const DipstickRecord &reading)
{
    return keepIfOpen({day}, [&] { return tables_.storeDipstick(day, reading); });
}
