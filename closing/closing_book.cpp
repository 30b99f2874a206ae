#include "closing/closing_book.h"

#include "closing/closed_lines.h"
#include "closing/closing_day.h"
#include "imports/nfe_reader.h"

#include <QScopeGuard>

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 WindowSecs = qint64(ClosingReadingWindowMinutes) * 60;

// The inventories as stocks in the book's basis; a tank without a value in that basis is not in
// the stock, so that inventory does not stand for every tank.
QList<StockSnapshot> snapshots(const QList<InventoryRecord> &inventories, VolumeBasis basis)
{
    QList<StockSnapshot> stocks;
    for (const InventoryRecord &inventory : inventories) {
        StockSnapshot stock{inventory.takenAt, {}, StockSource::Gauge, {}};
        for (const InventoryTank &tank : inventory.tanks) {
            const std::optional<double> litres = basis == VolumeBasis::At20C ? tank.volume20 : tank.measured;
            if (litres && !tank.weighed)
                stock.litres.insert(tank.tank, *litres);
        }
        stocks << stock;
    }
    return stocks;
}

// The operator's dipstick readings of a day's closing hour, when they cover every tank.
std::optional<StockSnapshot> dipstickStock(const QList<DipstickRecord> &readings, const QDateTime &at, const QList<int> &tanks)
{
    StockSnapshot stock{at, {}, StockSource::Dipstick, {}};
    QStringList reasons;
    for (const DipstickRecord &reading : readings) {
        stock.litres.insert(reading.tank, reading.litres);
        reasons << reading.reason;
    }
    for (int tank : tanks)
        if (!stock.litres.contains(tank))
            return std::nullopt;
    reasons.removeDuplicates();
    stock.reason = reasons.join(QStringLiteral("; "));
    return stock;
}

CloseRefusal refusedBy(const BookRefusal &refusal)
{
    switch (refusal.kind) {
    case BookRefusal::AlreadyClosed:
        return {CloseRefusal::AlreadyClosed, {}, {}, {}};
    case BookRefusal::NotClosed:
        return {CloseRefusal::NotClosed, {}, {}, {}};
    case BookRefusal::Engine:
    case BookRefusal::AlreadyImported:
        break;
    }
    return {CloseRefusal::Engine, {}, refusal.error, {}};
}

CloseRefusal engine(const QSqlError &error)
{
    return {CloseRefusal::Engine, {}, error, {}};
}

} // namespace

ClosingBook::ClosingBook(const QSqlDatabase &db, qint64 stationId, const QTimeZone &zone)
    : db_(db), stationId_(stationId), zone_(zone), tables_(db, stationId)
{
}

Result<std::optional<StockSnapshot>, QSqlError> ClosingBook::stockAtStart(QDate date, const ClosingSettings &settings,
                                                                         const QList<int> &tanks)
{
    // The previous day's physical closing, as kept when it was closed.
    const Result<std::optional<ClosedDay>, QSqlError> previous = closedDay(date.addDays(-1));
    if (!previous)
        return failure(previous.error());
    const QDateTime start = ClosingDay{date, settings.closingHour, zone_}.start();
    if (*previous) {
        StockSnapshot stock{start, {}, StockSource::Gauge, {}};
        for (const ClosedLine &line : (*previous)->lines)
            if (line.kind == ClosedLine::Tank && line.tank && line.physicalStock)
                stock.litres.insert(*line.tank, *line.physicalStock);
        return std::optional<StockSnapshot>(stock);
    }
    return stockAtHour(date.addDays(-1), start, settings, tanks);
}

Result<std::optional<StockSnapshot>, QSqlError> ClosingBook::stockAtHour(QDate closedDate, const QDateTime &instant,
                                                                        const ClosingSettings &settings, const QList<int> &tanks)
{
    const Result<QList<InventoryRecord>, QSqlError> around =
        inventoriesBetween(instant.addSecs(-WindowSecs), instant.addSecs(WindowSecs));
    if (!around)
        return failure(around.error());
    QList<StockSnapshot> candidates = snapshots(*around, settings.volumeBasis);
    // A delivery under way at the hour belongs whole to the next day: the stock is taken from
    // before it began, never half-way up the rise.
    const Result<QList<DeliveryRecord>, QSqlError> later = deliveriesBetween(instant, instant.addDays(1));
    if (!later)
        return failure(later.error());
    for (const DeliveryRecord &delivery : *later) {
        if (delivery.startedAt < instant)
            candidates.erase(std::remove_if(candidates.begin(), candidates.end(),
                                            [&](const StockSnapshot &stock) { return stock.at > delivery.startedAt; }),
                             candidates.end());
    }
    if (std::optional<StockSnapshot> stock = stockAt(candidates, instant, tanks))
        return stock;
    const Result<QList<DipstickRecord>, QSqlError> dipped = tables_.dipsticks(closedDate);
    if (!dipped)
        return failure(dipped.error());
    return dipstickStock(*dipped, instant, tanks);
}

Result<QList<StoredTank>, QSqlError> ClosingBook::stationTanks()
{
    if (span_)
        return span_->tanks;
    const Result<StationContents, QSqlError> contents = queryStationContents(db_, stationId_);
    if (!contents)
        return failure(contents.error());
    return contents->tanks;
}

Result<InvoiceRecord, EntryRefusal> ClosingBook::enterInvoice(const Invoice &invoice, std::optional<QDate> day,
                                                             std::optional<int> typedTank)
{
    const Result<ClosingSettings, QSqlError> settings = tables_.settings();
    if (!settings)
        return failure(EntryRefusal(settings.error()));
    if (const Result<void, InvoiceProblem> addressed = checkRecipient(invoice, settings->cnpj); !addressed)
        return failure(EntryRefusal(addressed.error()));
    // Said before placing it: placed again, it would find its delivery taken by itself.
    const Result<bool, QSqlError> imported = tables_.invoiceImported(invoice.accessKey);
    if (!imported)
        return failure(EntryRefusal(imported.error()));
    if (*imported)
        return failure(EntryRefusal(InvoiceProblem{InvoiceProblem::AlreadyImported, {}, invoice.accessKey, 0}));
    EntryInputs inputs;
    inputs.basis = settings->volumeBasis;
    inputs.closingHour = settings->closingHour;
    inputs.zone = zone_;
    const QDateTime issued = invoice.issuedAt.toUTC();
    const Result<QList<DeliveryRecord>, QSqlError> deliveries =
        tables_.deliveries(issued.addSecs(-3600), issued.addSecs(qint64(DeliveryWindowHours + 24) * 3600));
    if (!deliveries)
        return failure(EntryRefusal(deliveries.error()));
    const Result<QList<DeliveryRecord>, QSqlError> free = unclaimed(*deliveries, settings->closingHour);
    if (!free)
        return failure(EntryRefusal(free.error()));
    inputs.deliveries = *free;
    const Result<QMap<QString, QString>, QSqlError> mapping = tables_.productMapping();
    if (!mapping)
        return failure(EntryRefusal(mapping.error()));
    inputs.mapping = *mapping;
    const Result<QList<StoredTank>, QSqlError> tanks = stationTanks();
    if (!tanks)
        return failure(EntryRefusal(tanks.error()));
    for (const StoredTank &tank : *tanks)
        if (tank.unit != QLatin1String("kg"))
            inputs.tanks.insert(tank.tank, tank.product);
    Result<InvoiceRecord, EntryProblem> entry = invoiceEntry(invoice, inputs, day, typedTank);
    if (!entry)
        return failure(EntryRefusal(entry.error()));
    const Result<std::optional<QDate>, QSqlError> closed = closedAmong({entry->day});
    if (!closed)
        return failure(EntryRefusal(closed.error()));
    if (*closed)
        return failure(EntryRefusal(EntryProblem{EntryProblem::DayClosed, entry->day.toString(Qt::ISODate)}));
    const Result<qint64, BookRefusal> added = tables_.addInvoice(*entry);
    if (!added) {
        if (added.error().kind == BookRefusal::AlreadyImported)
            return failure(EntryRefusal(InvoiceProblem{InvoiceProblem::AlreadyImported, {}, invoice.accessKey, 0}));
        return failure(EntryRefusal(added.error().error));
    }
    InvoiceRecord entered = *entry;
    entered.id = *added;
    return entered;
}

Result<QList<DeliveryRecord>, QSqlError> ClosingBook::unclaimed(const QList<DeliveryRecord> &deliveries,
                                                                QTime closingHour) const
{
    QMap<QDate, QList<InvoiceRecord>> entered;  // by the day they enter
    QList<DeliveryRecord> free;
    for (const DeliveryRecord &delivery : deliveries) {
        const QDate day = ClosingDay::containing(delivery.endedAt, closingHour, zone_).date;
        if (!entered.contains(day)) {
            const Result<QList<InvoiceRecord>, QSqlError> invoices = tables_.invoices(day);
            if (!invoices)
                return failure(invoices.error());
            entered.insert(day, *invoices);
        }
        const bool claimed = std::any_of(entered[day].cbegin(), entered[day].cend(), [&](const InvoiceRecord &invoice) {
            return std::any_of(invoice.lines.cbegin(), invoice.lines.cend(), [&](const InvoiceLineRecord &line) {
                return line.product == delivery.product
                       && std::any_of(line.tanks.cbegin(), line.tanks.cend(), [&](const TankShare &share) {
                              return share.tank == delivery.tank && !share.typed;
                          });
            });
        });
        if (!claimed)
            free << delivery;
    }
    return free;
}

Result<DayInputs, QSqlError> ClosingBook::inputs(QDate date, const ClosingSettings &settings)
{
    DayInputs inputs;
    inputs.date = date;
    const ClosingDay bounds{date, settings.closingHour, zone_};
    inputs.start = bounds.start();
    inputs.end = bounds.end();

    const Result<QList<StoredTank>, QSqlError> tanks = stationTanks();
    if (!tanks)
        return failure(tanks.error());
    QList<int> bookTanks;
    for (const StoredTank &tank : *tanks) {
        const bool weighed = tank.unit == QLatin1String("kg");
        inputs.tanks << BookTank{tank.tank, tank.product, weighed};
        if (!weighed)
            bookTanks << tank.tank;
    }

    Result<std::optional<StockSnapshot>, QSqlError> opening = stockAtStart(date, settings, bookTanks);
    if (!opening)
        return failure(opening.error());
    inputs.opening = *opening;

    Result<std::optional<StockSnapshot>, QSqlError> closing = stockAtHour(date, inputs.end, settings, bookTanks);
    if (!closing)
        return failure(closing.error());
    inputs.closing = *closing;
    if (!inputs.closing) {
        const Result<QList<DipstickRecord>, QSqlError> dipped = tables_.dipsticks(date);
        if (!dipped)
            return failure(dipped.error());
        for (const DipstickRecord &reading : *dipped)
            inputs.dippedTanks << reading.tank;
    }

    const Result<QList<InvoiceRecord>, QSqlError> invoices = invoicesOf(date);
    if (!invoices)
        return failure(invoices.error());
    for (const InvoiceRecord &invoice : *invoices)
        for (const InvoiceLineRecord &line : invoice.lines)
            for (const TankShare &share : line.tanks)
                inputs.receipts[share.tank] += share.litres;

    const Result<QList<NozzleRecord>, QSqlError> nozzles = stationNozzles();
    if (!nozzles)
        return failure(nozzles.error());
    for (const NozzleRecord &nozzle : *nozzles)
        if (nozzle.active)
            inputs.nozzles << BookNozzle{nozzle.nozzle, nozzle.pump.value_or(0), nozzle.tank};
    const Result<QMap<int, TotaliserRecord>, QSqlError> totalisers = tables_.totalisers(date);
    if (!totalisers)
        return failure(totalisers.error());
    for (const TotaliserRecord &reading : *totalisers)
        inputs.totalisers.insert(reading.nozzle, TotaliserDay{reading.opening, reading.closing, reading.calibration});
    return inputs;
}

Result<QList<InvoiceMatch>, QSqlError> ClosingBook::invoiceMatches(const DayInputs &inputs, const ClosingSettings &settings)
{
    const Result<QList<InvoiceRecord>, QSqlError> invoices = invoicesOf(inputs.date);
    if (!invoices)
        return failure(invoices.error());
    const Result<QList<DeliveryRecord>, QSqlError> deliveries = deliveriesBetween(inputs.start, inputs.end);
    if (!deliveries)
        return failure(deliveries.error());
    QList<InvoiceMatch> matches;
    for (const InvoiceRecord &invoice : *invoices) {
        for (const InvoiceLineRecord &line : invoice.lines) {
            InvoiceMatch match{invoice.number, invoice.supplierName, line.product, line.litres, std::nullopt, std::nullopt};
            for (const DeliveryRecord &delivery : *deliveries) {
                const bool intoItsTank = std::any_of(line.tanks.cbegin(), line.tanks.cend(),
                                                     [&](const TankShare &share) { return share.tank == delivery.tank; });
                const std::optional<double> rise =
                    settings.volumeBasis == VolumeBasis::At20C ? delivery.rise20 : delivery.measuredRise;
                if (intoItsTank && rise)
                    match.measured = match.measured.value_or(0) + *rise;
            }
            if (match.measured)
                match.difference = std::round((*match.measured - match.invoiced) * 100) / 100;
            matches << match;
        }
    }
    // A delivery no invoice names: litres in the tank that the book cannot account for.
    for (const DeliveryRecord &delivery : *deliveries) {
        const bool invoiced = std::any_of(invoices->cbegin(), invoices->cend(), [&](const InvoiceRecord &invoice) {
            return std::any_of(invoice.lines.cbegin(), invoice.lines.cend(), [&](const InvoiceLineRecord &line) {
                return std::any_of(line.tanks.cbegin(), line.tanks.cend(),
                                   [&](const TankShare &share) { return share.tank == delivery.tank; });
            });
        });
        const std::optional<double> rise = settings.volumeBasis == VolumeBasis::At20C ? delivery.rise20 : delivery.measuredRise;
        if (!invoiced)
            matches << InvoiceMatch{{}, {}, delivery.product, 0, rise, rise};
    }
    return matches;
}

Result<BookDay, QSqlError> ClosingBook::day(QDate date, const QMap<QString, QString> &justifications)
{
    const Result<ClosingSettings, QSqlError> settings = currentSettings();
    if (!settings)
        return failure(settings.error());
    const Result<std::optional<ClosedDay>, QSqlError> closed = closedDay(date);
    if (!closed)
        return failure(closed.error());
    Result<DayInputs, QSqlError> gathered = inputs(date, *settings);
    if (!gathered)
        return failure(gathered.error());
    BookDay day;
    if (*closed) {
        day.figures = figuresOf(**closed);
        day.closed = true;
        day.closedAt = (*closed)->closedAt;
        day.closedBy = (*closed)->author;
        day.divergentOpening = (*closed)->divergentOpening;
    } else {
        gathered->justifications = justifications;
        day.figures = computeDay(*gathered, *settings);
    }
    Result<QList<InvoiceMatch>, QSqlError> matches = invoiceMatches(*gathered, *settings);
    if (!matches)
        return failure(matches.error());
    day.invoices = *matches;
    return day;
}

Result<void, CloseRefusal> ClosingBook::close(QDate date, const QMap<QString, QString> &justifications, const BookAuthor &author)
{
    const Result<BookDay, QSqlError> day = this->day(date, justifications);
    if (!day)
        return failure(engine(day.error()));
    if (day->closed)
        return failure(CloseRefusal{CloseRefusal::AlreadyClosed, {}, {}, {}});
    // Until its closing hour the day still sells: its figures would be the morning's.
    const Result<ClosingSettings, QSqlError> settings = tables_.settings();
    if (!settings)
        return failure(engine(settings.error()));
    if (const QDateTime ends = ClosingDay{date, settings->closingHour, zone_}.end();
        QDateTime::currentDateTimeUtc() < ends)
        return failure(CloseRefusal{CloseRefusal::NotOver, {}, {}, ends});
    if (!day->figures.closable())
        return failure(CloseRefusal{CloseRefusal::NotClosable, day->figures.problems, {}, {}});
    const Result<void, BookRefusal> kept =
        tables_.close(ClosedDay{date, QDateTime::currentDateTimeUtc(), author, false, closedLines(day->figures)});
    if (!kept)
        return failure(refusedBy(kept.error()));
    return {};
}

Result<void, CloseRefusal> ClosingBook::reopen(QDate date, const BookAuthor &author, const QString &reason)
{
    const Result<void, BookRefusal> reopened = tables_.reopen(date, author, reason);
    if (!reopened)
        return failure(refusedBy(reopened.error()));
    return {};
}

Result<ClosingSettings, QSqlError> ClosingBook::currentSettings() const
{
    if (span_)
        return span_->settings;
    return tables_.settings();
}

Result<QList<NozzleRecord>, QSqlError> ClosingBook::stationNozzles() const
{
    if (span_)
        return span_->nozzles;
    return tables_.nozzles();
}

Result<std::optional<ClosedDay>, QSqlError> ClosingBook::closedDay(QDate date)
{
    if (span_ && span_->closed.contains(date))
        return span_->closed.value(date);
    const Result<std::optional<ClosedDay>, QSqlError> closed = tables_.closedDay(date);
    if (closed && span_)
        span_->closed.insert(date, *closed);
    return closed;
}

Result<QList<InvoiceRecord>, QSqlError> ClosingBook::invoicesOf(QDate date)
{
    if (span_ && span_->invoices.contains(date))
        return span_->invoices.value(date);
    const Result<QList<InvoiceRecord>, QSqlError> invoices = tables_.invoices(date);
    if (invoices && span_)
        span_->invoices.insert(date, *invoices);
    return invoices;
}

bool ClosingBook::spanCovers(const QDateTime &from, const QDateTime &to) const
{
    return span_ && span_->from <= from && to <= span_->to;
}

Result<QList<InventoryRecord>, QSqlError> ClosingBook::inventoriesBetween(const QDateTime &from, const QDateTime &to)
{
    if (!spanCovers(from, to))
        return tables_.inventories(from, to);
    QList<InventoryRecord> found;
    for (const InventoryRecord &inventory : std::as_const(span_->inventories))
        if (from <= inventory.takenAt && inventory.takenAt <= to)
            found << inventory;
    return found;
}

Result<QList<DeliveryRecord>, QSqlError> ClosingBook::deliveriesBetween(const QDateTime &from, const QDateTime &to)
{
    if (!spanCovers(from, to))
        return tables_.deliveries(from, to);
    QList<DeliveryRecord> found;
    for (const DeliveryRecord &delivery : std::as_const(span_->deliveries))
        if (from <= delivery.endedAt && delivery.endedAt < to)
            found << delivery;
    return found;
}

Result<QList<MonthProduct>, QSqlError> ClosingBook::month(QDate firstDay, QDate until)
{
    const Result<ClosingSettings, QSqlError> settings = tables_.settings();
    if (!settings)
        return failure(settings.error());
    // From the closing hour before the first day's, which its opening may need, to a day after
    // the last day's end, which a delivery under way at that hour may reach.
    MonthRecords records;
    records.from = ClosingDay{firstDay.addDays(-1), settings->closingHour, zone_}.start().addSecs(-WindowSecs);
    records.to = ClosingDay{until, settings->closingHour, zone_}.end().addDays(1).addSecs(WindowSecs);
    const Result<QList<InventoryRecord>, QSqlError> inventories = tables_.inventories(records.from, records.to);
    if (!inventories)
        return failure(inventories.error());
    records.inventories = *inventories;
    const Result<QList<DeliveryRecord>, QSqlError> deliveries = tables_.deliveries(records.from, records.to);
    if (!deliveries)
        return failure(deliveries.error());
    records.deliveries = *deliveries;
    const Result<QList<StoredTank>, QSqlError> tanks = stationTanks();
    if (!tanks)
        return failure(tanks.error());
    records.tanks = *tanks;
    records.settings = *settings;
    const Result<QList<NozzleRecord>, QSqlError> nozzles = tables_.nozzles();
    if (!nozzles)
        return failure(nozzles.error());
    records.nozzles = *nozzles;
    span_ = records;
    const auto forget = qScopeGuard([this] { span_.reset(); });

    QList<DayFigures> days;
    for (QDate date = firstDay; date <= until && date.month() == firstDay.month(); date = date.addDays(1)) {
        const Result<BookDay, QSqlError> day = this->day(date);
        if (!day)
            return failure(day.error());
        days << day->figures;
    }
    return summarizeMonth(days);
}
