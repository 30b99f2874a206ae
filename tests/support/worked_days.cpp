#include "tests/support/worked_days.h"

QDateTime utc(const QString &text)
{
    return QDateTime::fromString(text, Qt::ISODate).toUTC();
}

StockSnapshot snapshot(const QString &at, const QMap<int, double> &litres)
{
    return StockSnapshot{utc(at), litres, StockSource::Gauge, {}};
}

DayInputs balancedDay()
{
    DayInputs day;
    day.date = QDate(2026, 3, 10);
    day.start = utc(QStringLiteral("2026-03-10T03:00:00Z"));
    day.end = utc(QStringLiteral("2026-03-11T03:00:00Z"));
    day.tanks = {{1, QStringLiteral("GASOLINA"), false}, {2, QStringLiteral("GASOLINA"), false},
                 {3, QStringLiteral("DIESEL S10"), false}};
    day.nozzles = {{1, 1, 1}, {2, 1, 1}, {3, 2, 2}, {4, 3, 3}};
    day.totalisers = {{1, {1000.0, 1500.0, 0}}, {2, {2000.0, 2250.5, 0}}, {3, {500.0, 800.0, 20}}, {4, {0.0, 1000.0, 0}}};
    day.opening = snapshot(QStringLiteral("2026-03-10T03:05:00Z"), {{1, 10000}, {2, 8000}, {3, 15000}});
    day.receipts = {{2, 5000}};
    // tank 1: 10000 − 750,50; tank 2: 8000 + 5000 − 280; tank 3: 15000 − 1000
    day.closing = snapshot(QStringLiteral("2026-03-11T03:02:00Z"), {{1, 9249.5}, {2, 12720}, {3, 14000}});
    return day;
}
