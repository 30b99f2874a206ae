#include "alarms/delivery_finder.h"

std::optional<Delivery> confirmedDelivery(const QList<VolumeAt> &newestFirst, double minimum)
{
    if (newestFirst.size() < 3)
        return std::nullopt;
    const VolumeAt &confirming = newestFirst[0];
    const VolumeAt &top = newestFirst[1];
    if (confirming.volume > top.volume)
        return std::nullopt;  // still rising: the next reading decides
    qsizetype start = 1;
    while (start + 1 < newestFirst.size() && newestFirst[start + 1].volume < newestFirst[start].volume)
        ++start;
    const VolumeAt &before = newestFirst[start];
    if (start == 1 || top.volume - before.volume < minimum || confirming.volume - before.volume < minimum)
        return std::nullopt;
    return Delivery{before.at, top.at, top.volume - before.volume};
}
