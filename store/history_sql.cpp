#include "store/history_sql.h"

#include <QStringList>

namespace {

const char RowColumns[] = "SELECT id, tank, product, unit, measured, complementary, volume20, density, level_mm, "
                          "expansion, capacity, measured_at, received_at, command, origin FROM measurement ";
const char TankPeriod[] = "WHERE station_id = :station AND tank = :tank AND measured_at >= :from AND measured_at < :to";

// Tank numbers are integers the store read itself, so they go into the text as they are.
QString tankList(const QList<int> &tanks)
{
    QStringList numbers;
    for (const int tank : tanks)
        numbers.append(QString::number(tank));
    return numbers.join(QStringLiteral(", "));
}

QString productPeriod(const QList<int> &tanks)
{
    return QStringLiteral("WHERE station_id = :station AND tank IN (%1) AND product = :product "
                          "AND measured_at >= :from AND measured_at < :to")
        .arg(tankList(tanks));
}

} // namespace

namespace HistorySql {

QString valueColumn(SeriesValue value)
{
    switch (value) {
    case SeriesValue::Measured:
        return QStringLiteral("measured");
    case SeriesValue::Volume20:
        return QStringLiteral("volume20");
    case SeriesValue::LevelMm:
        return QStringLiteral("level_mm");
    case SeriesValue::Complementary:
        return QStringLiteral("complementary");
    }
    return {};
}

QString stations()
{
    return QStringLiteral("SELECT id, description, host, ofe, time_zone FROM station ORDER BY description, id");
}

QString closingHours()
{
    return QStringLiteral("SELECT station.host, COALESCE(closing_settings.closing_minute, 0) FROM station "
                          "LEFT JOIN closing_settings ON closing_settings.station_id = station.id ORDER BY station.id");
}

QString nextTank()
{
    return QStringLiteral("SELECT tank FROM measurement WHERE station_id = :station AND tank > :after "
                          "AND measured_at IS NOT NULL ORDER BY tank LIMIT 1");
}

QString latestOfTank()
{
    return QStringLiteral("SELECT product, unit FROM measurement WHERE station_id = :station AND tank = :tank "
                          "AND measured_at IS NOT NULL ORDER BY measured_at DESC LIMIT 1");
}

QString tankSeries(SeriesValue value)
{
    return QStringLiteral("SELECT measured_at, %1 FROM measurement %2 AND %1 IS NOT NULL ORDER BY measured_at")
        .arg(valueColumn(value), QLatin1String(TankPeriod));
}

QString tankValueBefore(SeriesValue value)
{
    return QStringLiteral("SELECT product, %1 FROM measurement WHERE station_id = :station AND tank = :tank "
                          "AND measured_at < :from AND %1 IS NOT NULL ORDER BY measured_at DESC LIMIT 1")
        .arg(valueColumn(value));
}

QString tankHoldsProductSince(SeriesValue value)
{
    return QStringLiteral("SELECT 1 FROM measurement WHERE station_id = :station AND tank = :tank "
                          "AND measured_at >= :from AND product = :product AND %1 IS NOT NULL LIMIT 1")
        .arg(valueColumn(value));
}

QString stationSeries(SeriesValue value, const QList<int> &tanks)
{
    return QStringLiteral("SELECT tank, product, measured_at, %1 FROM measurement WHERE station_id = :station "
                          "AND tank IN (%2) AND measured_at >= :from AND measured_at < :to AND %1 IS NOT NULL "
                          "ORDER BY measured_at")
        .arg(valueColumn(value), tankList(tanks));
}

QString tankRows()
{
    return QLatin1String(RowColumns) + QLatin1String(TankPeriod)
        + QLatin1String(" ORDER BY measured_at LIMIT :limit OFFSET :offset");
}

QString productRows(const QList<int> &tanks)
{
    return QLatin1String(RowColumns) + productPeriod(tanks)
        + QLatin1String(" ORDER BY measured_at, tank LIMIT :limit OFFSET :offset");
}

QString tankRowCount()
{
    return QStringLiteral("SELECT COUNT(*) FROM measurement ") + QLatin1String(TankPeriod);
}

QString productRowCount(const QList<int> &tanks)
{
    return QStringLiteral("SELECT COUNT(*) FROM measurement ") + productPeriod(tanks);
}

QString events()
{
    return QStringLiteral("SELECT id, at, kind, detail FROM event WHERE (station_id = :station OR station_id IS NULL) "
                          "AND at >= :from AND at < :to ORDER BY at, id");
}

// "_" matches any character in LIKE, hence the escape.
QString alarmEvents()
{
    return QStringLiteral("SELECT id, at, kind, detail FROM event WHERE station_id = :station "
                          "AND at >= :from AND at < :to AND (kind LIKE '%!_raised' ESCAPE '!' "
                          "OR kind LIKE '%!_cleared' ESCAPE '!' OR kind IN ('poll_failed', 'ofe_conflict')) "
                          "ORDER BY at, id");
}

QString deliveries()
{
    return QStringLiteral("SELECT id, tank, product, started_at, ended_at, amount FROM delivery "
                          "WHERE station_id = :station AND ended_at >= :from AND started_at < :to "
                          "ORDER BY started_at, tank");
}

} // namespace HistorySql
