#include "closing_month/book_sql.h"

#include "closing/closing_day.h"
#include "closing/gauge_reading.h"
#include "store/sql_dialect.h"

#include <QStringList>

namespace {

QString timeLiteral(const SqlDialect &dialect, const QDateTime &utc)
{
    const QString text = QLatin1Char('\'') + utc.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'")) + QLatin1Char('\'');
    return dialect.timesAsText ? text : QStringLiteral("CAST(%1 AS timestamptz)").arg(text);
}

QString dayLiteral(QDate day)
{
    return QLatin1Char('\'') + day.toString(Qt::ISODate) + QLatin1Char('\'');
}

// Each day's closing instant and its window, computed as the book computes them; the day before
// the month gives the first day's opening.
QString dayRows(const SqlDialect &dialect, const MonthPlan &plan)
{
    const qint64 window = qint64(ClosingReadingWindowMinutes) * 60;
    QStringList rows;
    for (QDate day = plan.first.addDays(-1); day <= plan.last; day = day.addDays(1)) {
        const QDateTime end = ClosingDay{day, QTime(0, 0), planZone()}.end();
        rows << QStringLiteral("(%1, %2, %3, %4, %5)")
                    .arg(dayLiteral(day), dayLiteral(day.addDays(-1)), timeLiteral(dialect, end.addSecs(-window)),
                         timeLiteral(dialect, end), timeLiteral(dialect, end.addSecs(window)));
    }
    return rows.join(QStringLiteral(",\n  "));
}

} // namespace

QString monthBookSql(const SqlDialect &dialect, const MonthPlan &plan)
{
    return QStringLiteral(
               "WITH day (d, prev, lo, at, hi) AS (VALUES\n  %1),\n"
               "tank AS (SELECT DISTINCT station_id, tank FROM nozzle WHERE active),\n"
               "tanks AS (SELECT station_id, COUNT(*) AS n FROM tank GROUP BY station_id),\n"
               "reading AS (SELECT dy.d, dy.at, k.station_id, m.tank, m.product, m.measured, m.measured_at, "
               "ii.inventory_id AS inv FROM day dy CROSS JOIN tank k "
               "JOIN measurement m ON m.station_id = k.station_id AND m.tank = k.tank "
               "AND m.measured_at >= dy.lo AND m.measured_at <= dy.hi "
               "JOIN inventory_item ii ON ii.measurement_id = m.id),\n"
               "counted AS (SELECT d, at, station_id, inv, MIN(measured_at) AS taken, COUNT(measured) AS n "
               "FROM reading GROUP BY d, at, station_id, inv),\n"
               "ranked AS (SELECT i.d, i.station_id, i.inv, ROW_NUMBER() OVER (PARTITION BY i.d, i.station_id "
               "ORDER BY CASE WHEN i.taken >= i.at THEN 0 ELSE 1 END, CASE WHEN i.taken >= i.at THEN i.taken END, "
               "i.taken DESC) AS place FROM counted i JOIN tanks t ON t.station_id = i.station_id AND t.n = i.n),\n"
               "stock AS (SELECT r.d, r.station_id, r.tank, r.product, r.measured AS litres FROM reading r "
               "JOIN ranked c ON c.d = r.d AND c.station_id = r.station_id AND c.inv = r.inv WHERE c.place = 1),\n"
               "sale AS (SELECT t.station_id, t.day AS d, n.tank, SUM(t.closing - COALESCE(t.opening, "
               "(SELECT p.closing FROM totaliser p WHERE p.station_id = t.station_id AND p.nozzle = t.nozzle "
               "AND p.day = dy.prev)) - t.calibration) AS litres FROM totaliser t JOIN day dy ON dy.d = t.day "
               "JOIN nozzle n ON n.station_id = t.station_id AND n.nozzle = t.nozzle AND n.active "
               "WHERE t.day >= %2 GROUP BY t.station_id, t.day, n.tank),\n"
               "receipt AS (SELECT i.station_id, i.day AS d, it.tank, SUM(it.litres) AS litres FROM invoice i "
               "JOIN invoice_tank it ON it.invoice_id = i.id WHERE i.day >= %2 AND i.day <= %3 "
               "GROUP BY i.station_id, i.day, it.tank)\n"
               "SELECT s.station_id, s.d, s.product, SUM(o.litres), SUM(COALESCE(r.litres, 0)), SUM(l.litres), "
               "SUM(s.litres), SUM(s.litres) - (SUM(o.litres) + SUM(COALESCE(r.litres, 0)) - SUM(l.litres)) "
               "FROM stock s JOIN day dy ON dy.d = s.d "
               "JOIN stock o ON o.station_id = s.station_id AND o.tank = s.tank AND o.d = dy.prev "
               "JOIN sale l ON l.station_id = s.station_id AND l.d = s.d AND l.tank = s.tank "
               "LEFT JOIN receipt r ON r.station_id = s.station_id AND r.d = s.d AND r.tank = s.tank "
               "GROUP BY s.station_id, s.d, s.product ORDER BY s.station_id, s.d, s.product")
        .arg(dayRows(dialect, plan), dayLiteral(plan.first), dayLiteral(plan.last));
}
