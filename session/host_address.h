#pragma once

#include <QString>

#include <optional>

struct StationAddress {
    QString host;
    quint16 port = 4001;
};

// HOST[:PORT], "[IPv6]:PORT" or a bare IPv6 address; the host an IP address or a host name made
// of letters, digits and hyphens between dots. Nothing here touches the network.
std::optional<StationAddress> parseHostAndPort(const QString &text);

// A TCP port written in decimal, 1 to 65535.
std::optional<quint16> parsePortNumber(const QString &text);

// The host as the history keeps it: the address alone on the controller's usual port, with the
// port otherwise, so that two controllers behind one router stay two stations.
QString historyHost(const StationAddress &address);
