#include "simulator/address_range.h"

namespace {

std::optional<quint32> ipv4(const QString &text)
{
    const QHostAddress address(text.trimmed());
    if (address.protocol() != QAbstractSocket::IPv4Protocol)
        return std::nullopt;
    return address.toIPv4Address();
}

} // namespace

std::optional<QList<QHostAddress>> addressRange(const QString &text, int largest)
{
    const QStringList ends = text.split(QLatin1Char('-'));
    if (ends.size() != 2)
        return std::nullopt;
    const std::optional<quint32> first = ipv4(ends[0]);
    const std::optional<quint32> last = ipv4(ends[1]);
    if (!first || !last || *last < *first || quint64(*last - *first) >= quint64(largest))
        return std::nullopt;
    QList<QHostAddress> addresses;
    addresses.reserve(qsizetype(*last - *first) + 1);
    for (quint64 address = *first; address <= *last; ++address)
        addresses.append(QHostAddress(quint32(address)));
    return addresses;
}
