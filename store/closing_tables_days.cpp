// The book's invoices and closed days: what changes a day's figures once they are kept.
#include "store/closing_tables.h"

#include "store/closed_lines_json.h"
#include "store/closing_values.h"
#include "store/sql_dialect.h"


#include <algorithm>

using namespace closing_values;

Result<QList<InvoiceRecord>, QSqlError> ClosingTables::invoices(QDate day) const
{
    Result<QueryPool::Lent, QSqlError> query = run(
        QStringLiteral("SELECT i.id, i.access_key, i.number, i.series, i.issued_at, i.supplier_name, i.supplier_cnpj, "
                       "it.item, it.supplier_product, it.anp_code, it.product, it.litres, it.price_per_litre, t.tank, t.litres, t.typed "
                       "FROM invoice i JOIN invoice_item it ON it.invoice_id = i.id "
                       "LEFT JOIN invoice_tank t ON t.invoice_id = i.id AND t.item = it.item "
                       "WHERE i.station_id = :station AND i.day = :day ORDER BY i.issued_at, i.id, it.item, t.tank"),
        {{"day", dayText(day)}});
    if (!query)
        return failure(query.error());
    QList<InvoiceRecord> invoices;
    int item = -1;
    while (query->next()) {
        if (invoices.isEmpty() || invoices.last().id != query->value(0).toLongLong()) {
            invoices << InvoiceRecord{query->value(0).toLongLong(), query->value(1).toString(), query->value(2).toString(),
                                      query->value(3).toString(), time(query->value(4)), query->value(5).toString(),
                                      query->value(6).toString(), day, {}};
            item = -1;
        }
        QList<InvoiceLineRecord> &lines = invoices.last().lines;
        if (query->value(7).toInt() != item) {
            item = query->value(7).toInt();
            lines << InvoiceLineRecord{query->value(8).toString(), query->value(9).toString(), query->value(10).toString(),
                                       query->value(11).toDouble(), query->value(12).toDouble(), {}};
        }
        if (!query->value(13).isNull())
            lines.last().tanks << TankShare{query->value(13).toInt(), query->value(14).toDouble(), query->value(15).toBool()};
    }
    return invoices;
}

Result<bool, QSqlError> ClosingTables::invoiceImported(const QString &accessKey) const
{
    Result<QueryPool::Lent, QSqlError> known =
        run(QStringLiteral("SELECT COUNT(*) FROM invoice WHERE access_key = :key"), {{"key", accessKey}});
    if (!known)
        return failure(known.error());
    return known->next() && known->value(0).toInt() > 0;
}

Result<qint64, BookRefusal> ClosingTables::addInvoice(const InvoiceRecord &invoice)
{
    qint64 id = 0;
    const Result<void, BookRefusal> added = transaction([&]() -> Result<void, BookRefusal> {
        const Result<bool, QSqlError> known = invoiceImported(invoice.accessKey);
        if (!known)
            return failure(engine(known.error()));
        if (*known)
            return failure(BookRefusal{BookRefusal::AlreadyImported, {}});
        auto inserted = run(QStringLiteral("INSERT INTO invoice (station_id, access_key, number, series, issued_at, supplier_name, "
                                           "supplier_cnpj, day, imported_at) VALUES (:station, :key, :number, :series, :issued, "
                                           ":supplier, :cnpj, :day, :now) RETURNING id"),
                            {{"key", invoice.accessKey}, {"number", invoice.number}, {"series", invoice.series},
                             {"issued", timeValue(invoice.issuedAt.toUTC())}, {"supplier", notNullText(invoice.supplierName)},
                             {"cnpj", notNullText(invoice.supplierCnpj)}, {"day", dayText(invoice.day)},
                             {"now", timeValue(QDateTime::currentDateTimeUtc())}});
        if (!inserted)
            return failure(refusal(inserted.error(), BookRefusal::AlreadyImported));
        if (!inserted->next())
            return failure(engine(inserted->lastError()));
        id = inserted->value(0).toLongLong();
        for (int item = 0; item < invoice.lines.size(); ++item) {
            const InvoiceLineRecord &line = invoice.lines.at(item);
            const auto stored = run(QStringLiteral("INSERT INTO invoice_item (invoice_id, item, supplier_product, anp_code, product, "
                                                   "litres, price_per_litre) VALUES (:invoice, :item, :supplier, :anp, :product, "
                                                   ":litres, :price)"),
                                    {{"invoice", id}, {"item", item + 1}, {"supplier", line.supplierProduct},
                                     {"anp", line.anpCode}, {"product", line.product}, {"litres", line.litres},
                                     {"price", line.pricePerLitre}});
            if (!stored)
                return failure(engine(stored.error()));
            for (const TankShare &share : line.tanks) {
                const auto shared = run(QStringLiteral("INSERT INTO invoice_tank (invoice_id, item, tank, litres, typed) "
                                                       "VALUES (:invoice, :item, :tank, :litres, :typed)"),
                                        {{"invoice", id}, {"item", item + 1}, {"tank", share.tank}, {"litres", share.litres},
                                         {"typed", share.typed}});
                if (!shared)
                    return failure(engine(shared.error()));
            }
        }
        return {};
    });
    if (!added)
        return failure(added.error());
    return id;
}

Result<QList<ClosedLine>, QSqlError> ClosingTables::lines(QDate day) const
{
    Result<QueryPool::Lent, QSqlError> query = run(
        QStringLiteral("SELECT kind, subject, product, tank, pump, opening, receipts, available, sales, book_stock, physical_stock, "
                       "variance_litres, variance_percent, beyond_tolerance, closing_reading, calibration, justification "
                       "FROM closed_line WHERE station_id = :station AND day = :day ORDER BY kind, subject"),
        {{"day", dayText(day)}});
    if (!query)
        return failure(query.error());
    QList<ClosedLine> lines;
    while (query->next()) {
        ClosedLine line;
        const QString kind = query->value(0).toString();
        line.kind = kind == QLatin1String("tank") ? ClosedLine::Tank
                    : kind == QLatin1String("nozzle") ? ClosedLine::Nozzle
                                                      : ClosedLine::Product;
        line.subject = query->value(1).toString();
        line.product = query->value(2).toString();
        if (!query->value(3).isNull())
            line.tank = query->value(3).toInt();
        if (!query->value(4).isNull())
            line.pump = query->value(4).toInt();
        line.opening = number(query->value(5));
        line.receipts = number(query->value(6));
        line.available = number(query->value(7));
        line.sales = number(query->value(8));
        line.bookStock = number(query->value(9));
        line.physicalStock = number(query->value(10));
        line.varianceLitres = number(query->value(11));
        line.variancePercent = number(query->value(12));
        line.beyondTolerance = query->value(13).toBool();
        line.closingReading = number(query->value(14));
        line.calibration = number(query->value(15));
        line.justification = query->value(16).toString();
        lines << line;
    }
    return lines;
}

Result<std::optional<ClosedDay>, QSqlError> ClosingTables::closedDay(QDate day) const
{
    Result<QueryPool::Lent, QSqlError> query =
        run(QStringLiteral("SELECT closed_at, user_name, machine, divergent_opening FROM closed_day "
                           "WHERE station_id = :station AND day = :day"),
            {{"day", dayText(day)}});
    if (!query)
        return failure(query.error());
    if (!query->next())
        return std::optional<ClosedDay>();
    ClosedDay closed{day, time(query->value(0)), {query->value(1).toString(), query->value(2).toString()},
                     query->value(3).toBool(), {}};
    Result<QList<ClosedLine>, QSqlError> stored = lines(day);
    if (!stored)
        return failure(stored.error());
    closed.lines = *stored;
    return std::optional<ClosedDay>(closed);
}

Result<void, QSqlError> ClosingTables::storeLines(QDate day, const QList<ClosedLine> &lines)
{
    for (const ClosedLine &line : lines) {
        const auto stored = run(
            QStringLiteral("INSERT INTO closed_line (station_id, day, kind, subject, product, tank, pump, opening, receipts, "
                           "available, sales, book_stock, physical_stock, variance_litres, variance_percent, beyond_tolerance, "
                           "closing_reading, calibration, justification) VALUES (:station, :day, :kind, :subject, :product, "
                           ":tank, :pump, :opening, :receipts, :available, :sales, :book, :physical, :variance, :percent, "
                           ":beyond, :reading, :calibration, :justification)"),
            {{"day", dayText(day)}, {"kind", QString::fromLatin1(closedLineKindText(line.kind))}, {"subject", line.subject},
             {"product", line.product}, {"tank", nullable(line.tank)}, {"pump", nullable(line.pump)},
             {"opening", nullable(line.opening)}, {"receipts", nullable(line.receipts)}, {"available", nullable(line.available)},
             {"sales", nullable(line.sales)}, {"book", nullable(line.bookStock)}, {"physical", nullable(line.physicalStock)},
             {"variance", nullable(line.varianceLitres)}, {"percent", nullable(line.variancePercent)},
             {"beyond", line.beyondTolerance}, {"reading", nullable(line.closingReading)},
             {"calibration", nullable(line.calibration)}, {"justification", line.justification}});
        if (!stored)
            return failure(stored.error());
    }
    return {};
}

Result<void, QSqlError> ClosingTables::addAudit(QDate day, const char *action, const BookAuthor &author, const QString &reason,
                                                const QString &linesBefore)
{
    const auto stored = run(QStringLiteral("INSERT INTO closing_audit (station_id, day, action, at, user_name, machine, reason, "
                                           "lines_before) VALUES (:station, :day, :action, :at, :user, :machine, :reason, :before)"),
                            {{"day", dayText(day)}, {"action", QString::fromLatin1(action)},
                             {"at", timeValue(QDateTime::currentDateTimeUtc())}, {"user", notNullText(author.userName)},
                             {"machine", notNullText(author.machine)}, {"reason", reason}, {"before", linesBefore}});
    if (!stored)
        return failure(stored.error());
    return {};
}

Result<void, BookRefusal> ClosingTables::close(const ClosedDay &day)
{
    return transaction([&]() -> Result<void, BookRefusal> {
        const auto inserted = run(QStringLiteral("INSERT INTO closed_day (station_id, day, closed_at, user_name, machine, "
                                                 "divergent_opening) VALUES (:station, :day, :at, :user, :machine, :divergent)"),
                                  {{"day", dayText(day.day)}, {"at", timeValue(day.closedAt)},
                                   {"user", notNullText(day.author.userName)}, {"machine", notNullText(day.author.machine)},
                                   {"divergent", false}});
        if (!inserted)
            return failure(refusal(inserted.error(), BookRefusal::AlreadyClosed));
        if (const auto stored = storeLines(day.day, day.lines); !stored)
            return failure(engine(stored.error()));
        if (const auto audited = addAudit(day.day, "close", day.author, {}, {}); !audited)
            return failure(engine(audited.error()));
        // A reopening's record waits for the lines it led to.
        const auto reopened = run(QStringLiteral("UPDATE closing_audit SET lines_after = :after WHERE station_id = :station "
                                                 "AND day = :day AND action = 'reopen' AND lines_after IS NULL"),
                                  {{"after", closedLinesJson(day.lines)}, {"day", dayText(day.day)}});
        if (!reopened)
            return failure(engine(reopened.error()));
        if (const auto marked = markNextDivergent(day); !marked)
            return failure(engine(marked.error()));
        return {};
    });
}

Result<void, QSqlError> ClosingTables::markNextDivergent(const ClosedDay &day)
{
    // The next day opened at this day's physical stock, tank by tank, as it stood then.
    auto opened = run(QStringLiteral("SELECT subject, opening FROM closed_line WHERE station_id = :station AND day = :day "
                                         "AND kind = 'tank'"),
                          {{"day", dayText(day.day.addDays(1))}});
    if (!opened)
        return failure(opened.error());
    bool differs = false;
    while (opened->next() && !differs) {
        const auto line = std::find_if(day.lines.cbegin(), day.lines.cend(), [&](const ClosedLine &closed) {
            return closed.kind == ClosedLine::Tank && closed.subject == opened->value(0).toString();
        });
        const std::optional<double> stored = number(opened->value(1));
        differs = line == day.lines.cend() ? stored.has_value() : line->physicalStock != stored;
    }
    if (!differs)
        return {};
    const auto marked = run(QStringLiteral("UPDATE closed_day SET divergent_opening = :yes WHERE station_id = :station AND day = :day"),
                            {{"yes", true}, {"day", dayText(day.day.addDays(1))}});
    if (!marked)
        return failure(marked.error());
    return {};
}

Result<void, BookRefusal> ClosingTables::reopen(QDate day, const BookAuthor &author, const QString &reason)
{
    return transaction([&]() -> Result<void, BookRefusal> {
        const Result<QList<ClosedLine>, QSqlError> before = lines(day);
        if (!before)
            return failure(engine(before.error()));
        const auto removed = run(QStringLiteral("DELETE FROM closed_day WHERE station_id = :station AND day = :day"),
                                 {{"day", dayText(day)}});
        if (!removed)
            return failure(engine(removed.error()));
        if (removed->numRowsAffected() == 0)
            return failure(BookRefusal{BookRefusal::NotClosed, {}});
        const auto cleared = run(QStringLiteral("DELETE FROM closed_line WHERE station_id = :station AND day = :day"),
                                 {{"day", dayText(day)}});
        if (!cleared)
            return failure(engine(cleared.error()));
        if (const auto audited = addAudit(day, "reopen", author, reason, closedLinesJson(*before)); !audited)
            return failure(engine(audited.error()));
        return {};
    });
}

Result<QList<AuditRecord>, QSqlError> ClosingTables::audit(QDate day) const
{
    Result<QueryPool::Lent, QSqlError> query =
        run(QStringLiteral("SELECT at, action, user_name, machine, reason, lines_before, lines_after FROM closing_audit "
                           "WHERE station_id = :station AND day = :day ORDER BY id"),
            {{"day", dayText(day)}});
    if (!query)
        return failure(query.error());
    QList<AuditRecord> records;
    while (query->next())
        records << AuditRecord{time(query->value(0)), query->value(1).toString(),
                               {query->value(2).toString(), query->value(3).toString()}, query->value(4).toString(),
                               query->value(5).toString(), query->value(6).toString()};
    return records;
}

Result<std::optional<QDate>, QSqlError> ClosingTables::lastClosedDay() const
{
    Result<QueryPool::Lent, QSqlError> query =
        run(QStringLiteral("SELECT MAX(day) FROM closed_day WHERE station_id = :station"), {});
    if (!query)
        return failure(query.error());
    if (!query->next() || query->value(0).isNull())
        return std::optional<QDate>();
    return std::optional<QDate>(QDate::fromString(query->value(0).toString(), Qt::ISODate));
}

Result<QList<QDate>, QSqlError> ClosingTables::closedDays(QDate from, QDate to) const
{
    Result<QueryPool::Lent, QSqlError> query =
        run(QStringLiteral("SELECT day FROM closed_day WHERE station_id = :station AND day >= :from AND day <= :to "
                           "ORDER BY day"),
            {{"from", dayText(from)}, {"to", dayText(to)}});
    if (!query)
        return failure(query.error());
    QList<QDate> days;
    while (query->next())
        days << QDate::fromString(query->value(0).toString(), Qt::ISODate);
    return days;
}
