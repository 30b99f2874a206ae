#include "closing/gauge_reading.h"

#include <algorithm>

namespace {

bool holdsEvery(const StockSnapshot &inventory, const QList<int> &tanks)
{
    return std::all_of(tanks.cbegin(), tanks.cend(), [&](int tank) { return inventory.litres.contains(tank); });
}

} // namespace

std::optional<StockSnapshot> stockAt(const QList<StockSnapshot> &inventories, const QDateTime &instant,
                                     const QList<int> &tanks)
{
    const qint64 window = qint64(ClosingReadingWindowMinutes) * 60;
    const StockSnapshot *after = nullptr;
    const StockSnapshot *before = nullptr;
    for (const StockSnapshot &inventory : inventories) {
        if (!holdsEvery(inventory, tanks))
            continue;
        const qint64 offset = instant.secsTo(inventory.at);
        if (offset >= 0 && offset <= window) {
            if (!after || inventory.at < after->at)
                after = &inventory;
        } else if (offset < 0 && offset >= -window) {
            if (!before || inventory.at > before->at)
                before = &inventory;
        }
    }
    if (const StockSnapshot *chosen = after ? after : before)
        return *chosen;
    return std::nullopt;
}
