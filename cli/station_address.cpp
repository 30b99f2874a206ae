#include "cli/station_address.h"

#include "stations/station_list.h"
#include "stations/station_paths.h"

#include <QFileInfo>

namespace {

constexpr quint16 ControllerPort = 4001;

// The station list's entry with exactly this description; *listError says why the list could not
// be read, when it exists, and *hosts are its hosts when it could.
std::optional<StationEntry> listedStation(const QString &name, const QString &dataDirectory, QString *listError,
                                   QStringList *hosts)
{
    const QString path = stationFilePath(dataDirectoryOrDefault(dataDirectory));
    if (!QFileInfo::exists(path))
        return std::nullopt;
    StationTable table;
    const auto listed = loadStationTable(path, table);
    if (!listed) {
        *listError = stationFileProblemText(listed.error());
        return std::nullopt;
    }
    *hosts = hostsInUse(table);
    for (const ListedStation &station : *listed) {
        if (station.description == name)
            return table.entry(station.entry);
    }
    return std::nullopt;
}

} // namespace

StationResolution resolveStation(const QString &name, const QString &dataDirectory)
{
    StationResolution resolution;
    QString listError;
    if (const std::optional<StationEntry> listed = listedStation(name, dataDirectory, &listError, &resolution.listedHosts)) {
        const QString host = listed->host.trimmed();
        if (host.isEmpty()) {
            resolution.error = QStringLiteral("o posto \"%1\" não tem endereço IP na lista de postos").arg(name);
        } else {
            resolution.address = StationAddress{host, ControllerPort};
            resolution.description = name;
        }
        return resolution;
    }
    resolution.address = parseHostAndPort(name);
    if (!resolution.address) {
        resolution.error = QStringLiteral("posto desconhecido: \"%1\" (nem descrição da lista de postos, nem "
                                          "endereço IP ou nome de host)").arg(name);
        if (!listError.isEmpty())
            resolution.error += QStringLiteral("; ") + listError;
    }
    return resolution;
}
