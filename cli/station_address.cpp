#include "cli/station_address.h"

#include "config/station_list.h"
#include "config/station_paths.h"

#include <QFileInfo>

namespace {

constexpr quint16 ControllerPort = 4001;

// The station list's entry with exactly this description; *listError says why the list could not
// be read, when it exists.
std::optional<Local> listedStation(const QString &name, const QString &dataDirectory, QString *listError)
{
    const QString path = stationFilePath(dataDirectoryOrDefault(dataDirectory));
    if (!QFileInfo::exists(path))
        return std::nullopt;
    TabelaLocais table;
    const auto listed = loadStationTable(path, table, listError);
    if (!listed)
        return std::nullopt;
    for (const PostoListado &station : *listed) {
        if (station.Descricao == name)
            return table.entry(station.Entrada);
    }
    return std::nullopt;
}

} // namespace

StationResolution resolveStation(const QString &name, const QString &dataDirectory)
{
    StationResolution resolution;
    QString listError;
    if (const std::optional<Local> listed = listedStation(name, dataDirectory, &listError)) {
        const QString host = listed->IP.trimmed();
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
