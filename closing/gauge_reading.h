#pragma once

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

#include <optional>

// Where a tank's closing stock came from.
enum class StockSource {
    Gauge,     // an inventory of every tank, read near the closing hour
    Dipstick,  // typed by the operator, with a reason, when the gauge gave none
};

// The stock of every tank at one instant, in the book's volume basis.
struct StockSnapshot {
    QDateTime at;  // UTC
    QMap<int, double> litres;  // by tank
    StockSource source = StockSource::Gauge;
    QString reason;  // a dipstick reading's
};

// How far from the closing hour an inventory still stands for it.
constexpr int ClosingReadingWindowMinutes = 30;

// The inventory that stands for the stock at `instant`: the first in the half hour after it, or
// failing that the last in the half hour before it. Only inventories with every tank of
// `tanks` count, so that the tanks of a product are never read at different times.
std::optional<StockSnapshot> stockAt(const QList<StockSnapshot> &inventories, const QDateTime &instant,
                                     const QList<int> &tanks);
