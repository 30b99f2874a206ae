#include "poll/parallel_limit.h"

#include <algorithm>

ParallelChoice parallelWithinFileLimit(int requested, int stations, std::optional<qint64> openFileLimit)
{
    const int wanted = requested > 0 ? std::min(requested, stations) : stations;
    if (!openFileLimit)
        return {requested, {}};
    const qint64 room = std::max<qint64>(1, *openFileLimit - ReservedFiles);
    if (wanted <= room)
        return {requested, {}};
    const QString asked = requested > 0 ? QString::number(requested)
                                        : QStringLiteral("todos os %1 postos").arg(stations);
    return {int(room), QStringLiteral("--parallel limitado a %1 (pedido: %2): o sistema permite %3 arquivos abertos a "
                                 "este processo (ulimit -n)")
                      .arg(room)
                      .arg(asked)
                      .arg(*openFileLimit)};
}
