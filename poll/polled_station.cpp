#include "poll/polled_station.h"

#include "codec/file_text.h"
#include "codec/shown_value.h"
#include "stations/station_file_reader.h"
#include "stations/station_paths.h"
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
                             .arg(shownPath(path));
        return load;
    }
    const Result<StationFile, StationFileProblem> listed = readStationFile(path);
    if (!listed) {
        load.problems << stationFileProblemText(listed.error());
        return load;
    }
    for (const StationItem &item : listed->items) {
        const QString where = QStringLiteral("%1, linha %2: ").arg(shownPath(path)).arg(item.line);
        if (item.withoutDescription) {
            load.problems << where + QStringLiteral("posto sem descrição (IP %1)").arg(shownValue(item.withoutDescription->host));
            continue;
        }
        const StationEntry &local = item.fields;
        if (local.description.isEmpty())
            continue;
        const auto address = parseHostAndPort(local.host.trimmed());
        if (!address || address->port != ControllerSession::DefaultPort) {
            load.problems << where + QStringLiteral("o posto %1 tem o endereço IP inválido %2")
                                         .arg(shownValue(local.description), shownValue(local.host));
            continue;
        }
        load.stations << PolledStation{local.description, *address, {}, {}};
    }
    if (listed->itemsBeyond > 0) {
        load.notes << QStringLiteral("%1: só os %2 primeiros itens da lista de postos são lidos; ficam de fora: %3 "
                                     "(para mais postos, use --stations ARQUIVO)")
                          .arg(shownPath(path))
                          .arg(listed->items.size())
                          .arg(listed->itemsBeyond);
    }
    return load;
}
