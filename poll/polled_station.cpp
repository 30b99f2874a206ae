#include "poll/polled_station.h"

#include "config/station_list.h"
#include "config/station_paths.h"
#include "session/controller_session.h"

#include <QFileInfo>
#include <QHostAddress>

StationIdentity stationIdentity(const PolledStation &station)
{
    return {station.description, historyHost(station.address), {}, station.timeZone};
}

StationsLoad listedStations(const QString &dataDirectory)
{
    StationsLoad load;
    const QString path = stationFilePath(dataDirectory);
    if (!QFileInfo::exists(path)) {
        load.problems << QStringLiteral("a lista de postos %1 não existe; use --stations ARQUIVO ou --data-dir DIR")
                             .arg(path);
        return load;
    }
    TabelaLocais table;
    QString error;
    const auto listed = loadStationTable(path, table, &error);
    if (!listed) {
        load.problems << error;
        return load;
    }
    for (const PostoListado &entry : *listed) {
        const Local &local = table.entry(entry.Entrada);
        const QString host = local.IP.trimmed();
        const auto address = parseHostAndPort(host);
        if (!address || address->port != ControllerSession::DefaultPort) {
            load.problems << QStringLiteral("%1: o posto \"%2\" tem o endereço IP inválido \"%3\"")
                                 .arg(path, entry.Descricao, local.IP);
            continue;
        }
        load.stations << PolledStation{entry.Descricao, *address, {}, {}};
    }
    return load;
}
