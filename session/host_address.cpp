#include "session/host_address.h"

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

std::optional<StationAddress> hostWithPort(const QString &host, const std::optional<QString> &portText)
{
    StationAddress address{host, ControllerPort};
    if (portText) {
        const std::optional<quint16> port = parsePortNumber(*portText);
        if (!port)
            return std::nullopt;
        address.port = *port;
    }
    return address;
}

} // namespace

std::optional<quint16> parsePortNumber(const QString &text)
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

QString historyHost(const StationAddress &address)
{
    if (address.port == StationAddress().port)
        return address.host;
    const bool ipv6 = QHostAddress(address.host).protocol() == QAbstractSocket::IPv6Protocol;
    const QString host = ipv6 ? QLatin1Char('[') + address.host + QLatin1Char(']') : address.host;
    return host + QLatin1Char(':') + QString::number(address.port);
}
