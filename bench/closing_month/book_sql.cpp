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
    const QString days = QStringLiteral("WITH day (d, prev, lo, at, hi) AS (VALUES\n  %1),\n").arg(dayRows(dialect, plan));
    const QString tanks = QStringLiteral("tank AS (SELECT DISTINCT station_id, tank FROM nozzle WHERE active)");
    // The readings near each closing hour go into a table of their own: PostgreSQL, left to
    // estimate the later joins over a CTE, took them for a row or two and ran nested loops over
    // 256,000 rows for minutes. Analysed, they are joined by hash; compiling the plan (JIT) then
    // cost more than running it.
    const QString readings =
        QStringLiteral("CREATE TEMP TABLE reading AS %1%2\n"
                       "SELECT dy.d, dy.at, k.station_id, m.tank, m.product, m.measured, m.measured_at, ii.inventory_id AS inv "
                       "FROM day dy CROSS JOIN tank k CROSS JOIN measurement m CROSS JOIN inventory_item ii "
                       "WHERE m.station_id = k.station_id AND m.tank = k.tank AND m.measured_at >= dy.lo "
                       "AND m.measured_at <= dy.hi AND ii.measurement_id = m.id;\n")
            .arg(days, tanks);
    const QString tuning = dialect.timesAsText ? QString()
                                               : QStringLiteral("ANALYZE reading;\nSET enable_nestloop = off;\n");
    const QString book = QStringLiteral(
               "%1%2,\n"
               "tanks AS (SELECT station_id, COUNT(*) AS n FROM tank GROUP BY station_id),\n"
               "counted AS (SELECT d, at, station_id, inv, MIN(measured_at) AS taken, COUNT(measured) AS n "
               "FROM reading GROUP BY d, at, station_id, inv),\n"
               "complete AS (SELECT c.d, c.at, c.station_id, c.inv, c.taken, c.n = t.n AS whole FROM counted c "
               "JOIN tanks t ON t.station_id = c.station_id),\n"
               "chosen AS (SELECT d, station_id, COALESCE(MIN(CASE WHEN taken >= at THEN taken END), MAX(taken)) AS taken "
               "FROM complete WHERE whole GROUP BY d, station_id),\n"
               "stock AS (SELECT r.d, r.station_id, r.tank, r.product, r.measured AS litres FROM reading r "
               "JOIN complete c ON c.d = r.d AND c.inv = r.inv "
               "JOIN chosen h ON h.d = c.d AND h.station_id = c.station_id AND h.taken = c.taken WHERE c.whole),\n"
               "opened AS (SELECT s.*, dy.prev, LAG(s.d) OVER w AS prev_d, LAG(s.litres) OVER w AS opening FROM stock s "
               "JOIN day dy ON dy.d = s.d WINDOW w AS (PARTITION BY s.station_id, s.tank ORDER BY s.d)),\n"
               "sale AS (SELECT t.station_id, t.day AS d, n.tank, SUM(t.closing - COALESCE(t.opening, "
               "(SELECT p.closing FROM totaliser p WHERE p.station_id = t.station_id AND p.nozzle = t.nozzle "
               "AND p.day = dy.prev)) - t.calibration) AS litres FROM totaliser t JOIN day dy ON dy.d = t.day "
               "JOIN nozzle n ON n.station_id = t.station_id AND n.nozzle = t.nozzle AND n.active "
               "WHERE t.day >= %3 GROUP BY t.station_id, t.day, n.tank),\n"
               "receipt AS (SELECT i.station_id, i.day AS d, it.tank, SUM(it.litres) AS litres FROM invoice i "
               "JOIN invoice_tank it ON it.invoice_id = i.id WHERE i.day >= %3 AND i.day <= %4 "
               "GROUP BY i.station_id, i.day, it.tank)\n"
               "SELECT s.station_id, s.d, s.product, SUM(s.opening), SUM(COALESCE(r.litres, 0)), SUM(l.litres), "
               "SUM(s.litres), SUM(s.litres) - (SUM(s.opening) + SUM(COALESCE(r.litres, 0)) - SUM(l.litres)) "
               "FROM opened s JOIN sale l ON l.station_id = s.station_id AND l.d = s.d AND l.tank = s.tank "
               "LEFT JOIN receipt r ON r.station_id = s.station_id AND r.d = s.d AND r.tank = s.tank "
               "WHERE s.prev_d = s.prev GROUP BY s.station_id, s.d, s.product ORDER BY s.station_id, s.d, s.product")
        .arg(days, tanks, dayLiteral(plan.first), dayLiteral(plan.last));
    return (dialect.timesAsText ? QString() : QStringLiteral("SET jit = off;\n")) + readings + tuning + book;
}
