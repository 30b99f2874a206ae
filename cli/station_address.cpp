#include "cli/station_address.h"

#include "config/station_list.h"
#include "config/station_paths.h"

#include <QFileInfo>
#include <QHostAddress>

namespace {

constexpr quint16 ControllerPort = 4001;
constexpr qsizetype LongestHostName = 253;
constexpr qsizetype LongestLabel = 63;

bool isLabelCharacter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-');
}

bool isHostName(const QString &text)
{
    if (text.isEmpty() || text.size() > LongestHostName)
        return false;
    for (const QString &label : text.split(QLatin1Char('.'))) {
        if (label.isEmpty() || label.size() > LongestLabel || label.startsWith(QLatin1Char('-'))
            || label.endsWith(QLatin1Char('-')))
            return false;
        for (const QChar c : label) {
            if (!isLabelCharacter(c))
                return false;
        }
    }
    return true;
}

std::optional<quint16> portNumber(const QString &text)
{
    if (text.isEmpty() || text.size() > 5)
        return std::nullopt;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    const int port = text.toInt();
    if (port < 1 || port > 65535)
        return std::nullopt;
    return quint16(port);
}

std::optional<StationAddress> hostWithPort(const QString &host, const std::optional<QString> &portText)
{
    StationAddress address{host, ControllerPort};
    if (portText) {
        const std::optional<quint16> port = portNumber(*portText);
        if (!port)
            return std::nullopt;
        address.port = *port;
    }
    return address;
}

QString withSeparator(QString directory)
{
    if (!directory.endsWith(QLatin1Char('/')))
        directory += QLatin1Char('/');
    return directory;
}

// The station list's entry with exactly this description; *listError says why the list could not
// be read, when it exists.
std::optional<Local> listedStation(const QString &name, const QString &dataDirectory, QString *listError)
{
    const QString path = stationFilePath(withSeparator(dataDirectory.isEmpty() ? defaultDataDirectory() : dataDirectory));
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

std::optional<StationAddress> parseHostAndPort(const QString &text)
{
    if (!QHostAddress(text).isNull())
        return hostWithPort(text, std::nullopt);
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0)
            return std::nullopt;
        const QString host = text.mid(1, close - 1);
        const QString rest = text.mid(close + 1);
        if (QHostAddress(host).protocol() != QAbstractSocket::IPv6Protocol)
            return std::nullopt;
        if (rest.isEmpty())
            return hostWithPort(host, std::nullopt);
        if (!rest.startsWith(QLatin1Char(':')))
            return std::nullopt;
        return hostWithPort(host, rest.mid(1));
    }
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const QString host = colon < 0 ? text : text.left(colon);
    const std::optional<QString> port = colon < 0 ? std::nullopt : std::optional<QString>(text.mid(colon + 1));
    const QHostAddress ip(host);
    if (ip.protocol() != QAbstractSocket::IPv4Protocol && !isHostName(host))
        return std::nullopt;
    return hostWithPort(host, port);
}

StationResolution resolveStation(const QString &name, const QString &dataDirectory)
{
    StationResolution resolution;
    QString listError;
    if (const std::optional<Local> listed = listedStation(name, dataDirectory, &listError)) {
        const QString host = listed->IP.trimmed();
        if (host.isEmpty())
            resolution.error = QStringLiteral("o posto \"%1\" não tem endereço IP na lista de postos").arg(name);
        else
            resolution.address = StationAddress{host, ControllerPort};
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
