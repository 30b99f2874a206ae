#include "store/closing_tables.h"

#include "store/closed_lines_json.h"
#include "store/closing_values.h"
#include "store/sql_dialect.h"

#include <QSqlQuery>

#include <functional>

namespace {

const char *toleranceBaseText(ToleranceBase base)
{
    return base == ToleranceBase::Physical ? "physical" : "available";
}

const char *volumeBasisText(VolumeBasis basis)
{
    return basis == VolumeBasis::At20C ? "volume20" : "measured";
}

} // namespace

using namespace closing_values;

ClosingTables::ClosingTables(const QSqlDatabase &db, qint64 stationId) : db_(db), stationId_(stationId), statements_(db) {}

QVariant ClosingTables::timeValue(const QDateTime &utc) const
{
    return dialectOf(db_).timeValue(utc);
}

QDateTime ClosingTables::time(const QVariant &stored) const
{
    return dialectOf(db_).time(stored);
}

Result<QueryPool::Lent, QSqlError> ClosingTables::run(const QString &sql, Bindings bindings) const
{
    QSqlError unprepared;
    QueryPool::Lent statement = statements_.lend(sql, &unprepared);
    if (unprepared.isValid())
        return failure(unprepared);
    QSqlQuery &query = statement.query();
    query.bindValue(QStringLiteral(":station"), stationId_);
    for (const auto &[name, value] : bindings)
        query.bindValue(QLatin1Char(':') + QLatin1String(name), value);
    if (!query.exec())
        return failure(query.lastError());
    return statement;
}

Result<void, BookRefusal> ClosingTables::transaction(const std::function<Result<void, BookRefusal>()> &body)
{
    QSqlQuery control(db_);
    if (!control.exec(dialectOf(db_).beginWriteSql))
        return failure(engine(control.lastError()));
    Result<void, BookRefusal> done = body();
    if (done.ok() && !control.exec(QStringLiteral("COMMIT")))
        done = failure(engine(control.lastError()));
    if (!done.ok())
        control.exec(QStringLiteral("ROLLBACK"));
    return done;
}

Result<void, QSqlError> ClosingTables::inTransaction(const std::function<Result<void, QSqlError>()> &body)
{
    const Result<void, BookRefusal> done = transaction([&]() -> Result<void, BookRefusal> {
        if (const Result<void, QSqlError> ran = body(); !ran)
            return failure(engine(ran.error()));
        return {};
    });
    if (!done)
        return failure(done.error().error);
    return {};
}

Result<ClosingSettings, QSqlError> ClosingTables::settings() const
{
    Result<QueryPool::Lent, QSqlError> query =
        run(QStringLiteral("SELECT closing_minute, tolerance_percent, tolerance_base, volume_basis, totaliser_digits, cnpj "
                           "FROM closing_settings WHERE station_id = :station"),
            {});
    if (!query)
        return failure(query.error());
    ClosingSettings settings;
    if (!query->next())
        return settings;
    const int minute = query->value(0).toInt();
    settings.closingHour = QTime(minute / 60, minute % 60);
    settings.tolerancePercent = query->value(1).toDouble();
    settings.toleranceBase = query->value(2).toString() == QLatin1String("physical") ? ToleranceBase::Physical
                                                                                     : ToleranceBase::Available;
    settings.volumeBasis = query->value(3).toString() == QLatin1String("volume20") ? VolumeBasis::At20C : VolumeBasis::Measured;
    settings.totaliserDigits = query->value(4).toInt();
    settings.cnpj = query->value(5).toString();
    return settings;
}

Result<void, QSqlError> ClosingTables::setSettings(const ClosingSettings &settings)
{
    return inTransaction([&]() -> Result<void, QSqlError> {
        const Result<QueryPool::Lent, QSqlError> stored = run(
            QStringLiteral("INSERT INTO closing_settings (station_id, closing_minute, tolerance_percent, tolerance_base, "
                           "volume_basis, totaliser_digits, cnpj) VALUES (:station, :minute, "
                           ":tolerance, :base, :basis, :digits, :cnpj) ON CONFLICT (station_id) DO UPDATE SET "
                           "closing_minute = excluded.closing_minute, tolerance_percent = excluded.tolerance_percent, "
                           "tolerance_base = excluded.tolerance_base, volume_basis = excluded.volume_basis, "
                           "totaliser_digits = excluded.totaliser_digits, cnpj = excluded.cnpj"),
            {{"minute", settings.closingHour.hour() * 60 + settings.closingHour.minute()},
             {"tolerance", settings.tolerancePercent},
             {"base", QString::fromLatin1(toleranceBaseText(settings.toleranceBase))},
             {"basis", QString::fromLatin1(volumeBasisText(settings.volumeBasis))},
             {"digits", settings.totaliserDigits},
             {"cnpj", settings.cnpj.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(settings.cnpj)}});
        if (!stored)
            return failure(stored.error());
        return {};
    });
}

Result<QList<NozzleRecord>, QSqlError> ClosingTables::nozzles() const
{
    Result<QueryPool::Lent, QSqlError> query =
        run(QStringLiteral("SELECT nozzle, pump, tank, active FROM nozzle WHERE station_id = :station ORDER BY nozzle"), {});
    if (!query)
        return failure(query.error());
    QList<NozzleRecord> nozzles;
    while (query->next())
        nozzles << NozzleRecord{query->value(0).toInt(), whole(query->value(1)), query->value(2).toInt(),
                                query->value(3).toBool()};
    return nozzles;
}

Result<void, QSqlError> ClosingTables::replaceNozzles(const QList<NozzleRecord> &nozzles)
{
    return inTransaction([&]() -> Result<void, QSqlError> {
        if (const auto retired = run(QStringLiteral("UPDATE nozzle SET active = :no WHERE station_id = :station"), {{"no", false}});
            !retired)
            return failure(retired.error());
        for (const NozzleRecord &nozzle : nozzles) {
            const auto stored = run(QStringLiteral("INSERT INTO nozzle (station_id, nozzle, pump, tank, active) "
                                                   "VALUES (:station, :nozzle, :pump, :tank, :active) "
                                                   "ON CONFLICT (station_id, nozzle) DO UPDATE SET pump = excluded.pump, "
                                                   "tank = excluded.tank, active = excluded.active"),
                                    {{"nozzle", nozzle.nozzle}, {"pump", nullable(nozzle.pump)}, {"tank", nozzle.tank},
                                     {"active", nozzle.active}});
            if (!stored)
                return failure(stored.error());
        }
        return {};
    });
}

Result<QMap<int, TotaliserRecord>, QSqlError> ClosingTables::totalisers(QDate day) const
{
    Result<QueryPool::Lent, QSqlError> query =
        run(QStringLiteral("SELECT t.nozzle, t.opening, t.closing, t.calibration, "
                           "(SELECT p.closing FROM totaliser p WHERE p.station_id = t.station_id AND p.nozzle = t.nozzle "
                           "AND p.day = :previous) FROM totaliser t WHERE t.station_id = :station AND t.day = :day"),
            {{"day", dayText(day)}, {"previous", dayText(day.addDays(-1))}});
    if (!query)
        return failure(query.error());
    QMap<int, TotaliserRecord> readings;
    while (query->next()) {
        TotaliserRecord reading{day, query->value(0).toInt(), number(query->value(1)), number(query->value(2)),
                                query->value(3).toDouble()};
        if (!reading.opening)
            reading.opening = number(query->value(4));
        readings.insert(reading.nozzle, reading);
    }
    return readings;
}

Result<void, QSqlError> ClosingTables::storeTotalisers(const QList<TotaliserRecord> &rows)
{
    return inTransaction([&]() -> Result<void, QSqlError> {
        for (const TotaliserRecord &row : rows) {
            const auto stored = run(QStringLiteral("INSERT INTO totaliser (station_id, day, nozzle, opening, closing, calibration) "
                                                   "VALUES (:station, :day, :nozzle, :opening, :closing, :calibration) "
                                                   "ON CONFLICT (station_id, day, nozzle) DO UPDATE SET opening = excluded.opening, "
                                                   "closing = excluded.closing, calibration = excluded.calibration"),
                                    {{"day", dayText(row.day)}, {"nozzle", row.nozzle}, {"opening", nullable(row.opening)},
                                     {"closing", nullable(row.closing)}, {"calibration", row.calibration}});
            if (!stored)
                return failure(stored.error());
        }
        return {};
    });
}

Result<void, QSqlError> ClosingTables::storePrices(const QList<PriceRecord> &rows)
{
    return inTransaction([&]() -> Result<void, QSqlError> {
        for (const PriceRecord &row : rows) {
            const auto stored = run(QStringLiteral("INSERT INTO sale_price (station_id, day, product, price) "
                                                   "VALUES (:station, :day, :product, :price) "
                                                   "ON CONFLICT (station_id, day, product) DO UPDATE SET price = excluded.price"),
                                    {{"day", dayText(row.day)}, {"product", row.product}, {"price", row.price}});
            if (!stored)
                return failure(stored.error());
        }
        return {};
    });
}

Result<QMap<QString, double>, QSqlError> ClosingTables::prices(QDate day) const
{
    Result<QueryPool::Lent, QSqlError> query =
        run(QStringLiteral("SELECT product, price FROM sale_price WHERE station_id = :station AND day = :day"),
            {{"day", dayText(day)}});
    if (!query)
        return failure(query.error());
    QMap<QString, double> prices;
    while (query->next())
        prices.insert(query->value(0).toString(), query->value(1).toDouble());
    return prices;
}

Result<QList<InventoryRecord>, QSqlError> ClosingTables::inventories(const QDateTime &from, const QDateTime &to) const
{
    // An inventory is placed by the controller's clock, as its readings are; a file, or a test,
    // can then hold days that are not the PC's.
    Result<QueryPool::Lent, QSqlError> query =
        run(QStringLiteral("WITH near AS (SELECT DISTINCT ii.inventory_id AS id FROM measurement m "
                           "JOIN inventory_item ii ON ii.measurement_id = m.id "
                           "WHERE m.station_id = :station AND m.measured_at >= :from1 AND m.measured_at <= :to1), "
                           "timed AS (SELECT n.id, MIN(m.measured_at) AS at FROM near n "
                           "JOIN inventory_item ii ON ii.inventory_id = n.id JOIN measurement m ON m.id = ii.measurement_id "
                           "GROUP BY n.id) "
                           "SELECT t.id, t.at, m.tank, m.product, m.unit, m.measured, m.volume20 FROM timed t "
                           "JOIN inventory_item ii ON ii.inventory_id = t.id JOIN measurement m ON m.id = ii.measurement_id "
                           "WHERE t.at >= :from2 AND t.at <= :to2 ORDER BY t.at, t.id, m.tank"),
            {{"from1", timeValue(from)}, {"to1", timeValue(to)}, {"from2", timeValue(from)}, {"to2", timeValue(to)}});
    if (!query)
        return failure(query.error());
    QList<InventoryRecord> inventories;
    qint64 current = -1;
    while (query->next()) {
        if (query->value(0).toLongLong() != current) {
            current = query->value(0).toLongLong();
            inventories << InventoryRecord{time(query->value(1)), {}};
        }
        inventories.last().tanks << InventoryTank{query->value(2).toInt(), query->value(3).toString(),
                                                  query->value(4).toString() == QLatin1String("kg"),
                                                  number(query->value(5)), number(query->value(6))};
    }
    return inventories;
}

Result<QList<DeliveryRecord>, QSqlError> ClosingTables::deliveries(const QDateTime &from, const QDateTime &to) const
{
    // The rise in each basis, from the tank's readings at the delivery's two ends.
    const QString at = QStringLiteral("(SELECT m.%1 FROM measurement m WHERE m.station_id = d.station_id AND m.tank = d.tank "
                                      "AND m.measured_at = d.%2)");
    Result<QueryPool::Lent, QSqlError> query =
        run(QStringLiteral("SELECT d.tank, d.product, d.started_at, d.ended_at, %1 - %2, %3 - %4 FROM delivery d "
                           "WHERE d.station_id = :station AND d.ended_at >= :from AND d.ended_at < :to ORDER BY d.started_at")
                .arg(at.arg(QStringLiteral("measured"), QStringLiteral("ended_at")),
                     at.arg(QStringLiteral("measured"), QStringLiteral("started_at")),
                     at.arg(QStringLiteral("volume20"), QStringLiteral("ended_at")),
                     at.arg(QStringLiteral("volume20"), QStringLiteral("started_at"))),
            {{"from", timeValue(from)}, {"to", timeValue(to)}});
    if (!query)
        return failure(query.error());
    QList<DeliveryRecord> deliveries;
    while (query->next())
        deliveries << DeliveryRecord{query->value(0).toInt(), query->value(1).toString(), time(query->value(2)),
                                     time(query->value(3)), number(query->value(4)), number(query->value(5))};
    return deliveries;
}

Result<QList<DipstickRecord>, QSqlError> ClosingTables::dipsticks(QDate day) const
{
    Result<QueryPool::Lent, QSqlError> query =
        run(QStringLiteral("SELECT tank, litres, reason FROM dipstick WHERE station_id = :station AND day = :day ORDER BY tank"),
            {{"day", dayText(day)}});
    if (!query)
        return failure(query.error());
    QList<DipstickRecord> readings;
    while (query->next())
        readings << DipstickRecord{query->value(0).toInt(), query->value(1).toDouble(), query->value(2).toString()};
    return readings;
}

Result<void, QSqlError> ClosingTables::storeDipstick(QDate day, const DipstickRecord &reading)
{
    return inTransaction([&]() -> Result<void, QSqlError> {
        const auto stored = run(QStringLiteral("INSERT INTO dipstick (station_id, day, tank, litres, reason, entered_at) "
                                               "VALUES (:station, :day, :tank, :litres, :reason, :at) "
                                               "ON CONFLICT (station_id, day, tank) DO UPDATE SET litres = excluded.litres, "
                                               "reason = excluded.reason, entered_at = excluded.entered_at"),
                                {{"day", dayText(day)}, {"tank", reading.tank}, {"litres", reading.litres},
                                 {"reason", notNullText(reading.reason)},
                                 {"at", timeValue(QDateTime::currentDateTimeUtc())}});
        if (!stored)
            return failure(stored.error());
        return {};
    });
}

Result<QMap<QString, QString>, QSqlError> ClosingTables::productMapping() const
{
    Result<QueryPool::Lent, QSqlError> query =
        run(QStringLiteral("SELECT supplier_name, product FROM product_mapping WHERE station_id = :station"), {});
    if (!query)
        return failure(query.error());
    QMap<QString, QString> mapping;
    while (query->next())
        mapping.insert(query->value(0).toString(), query->value(1).toString());
    return mapping;
}

Result<void, QSqlError> ClosingTables::mapProduct(const QString &supplierProduct, const QString &product)
{
    return inTransaction([&]() -> Result<void, QSqlError> {
        const auto stored = run(QStringLiteral("INSERT INTO product_mapping (station_id, supplier_name, product) "
                                               "VALUES (:station, :supplier, :product) "
                                               "ON CONFLICT (station_id, supplier_name) DO UPDATE SET product = excluded.product"),
                                {{"supplier", supplierProduct}, {"product", product}});
        if (!stored)
            return failure(stored.error());
        return {};
    });
}
