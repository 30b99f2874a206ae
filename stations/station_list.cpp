#include "stations/station_list.h"

#include "stations/station_file_reader.h"

Result<QVector<ListedStation>, StationFileProblem> loadStationTable(const QString &filePath,
                                                                   StationTable &table)
{
    const Result<QVector<StationEntry>, StationFileProblem> items = readStationItems(filePath);
    if (!items)
        return failure(items.error());

    QVector<ListedStation> listed;
    for (int n = 1; n <= int(items->size()); ++n) {
        const StationEntry &item = items->at(n - 1);
        StationEntry &entry = table.entry(n);
        entry.description = item.description;
        if (item.description.isEmpty())
            continue;
        entry.host = item.host;
        entry.port = item.port;
        listed.append({item.description, n});
    }
    return listed;
}

QVector<ListedStation> stationsInUse(const StationTable &table)
{
    QVector<ListedStation> listed;
    for (int n = 1; n <= StationTable::Entries; ++n) {
        const QString &description = table.entry(n).description;
        if (!description.isEmpty())
            listed.append({description, n});
    }
    return listed;
}

QStringList hostsInUse(const StationTable &table)
{
    QStringList hosts;
    for (const ListedStation &posto : stationsInUse(table)) {
        const QString host = table.entry(posto.entry).host.trimmed();
        if (!host.isEmpty())
            hosts << host;
    }
    return hosts;
}
