#pragma once

#include <QString>

#include <optional>

struct StationAddress {
    QString host;
    quint16 port = 4001;
};

struct StationResolution {
    std::optional<StationAddress> address;
    QString error;  // why there is no address, in Portuguese
};

// A station named on the command line: a description in the station list of the data directory
// (exact match, reached on port 4001 like the console does), else HOST[:PORT]. Nothing here
// touches the network: a name that is neither listed nor a well-formed address is refused.
StationResolution resolveStation(const QString &name, const QString &dataDirectory);

// HOST[:PORT], "[IPv6]:PORT" or a bare IPv6 address; the host an IP address or a host name made
// of letters, digits and hyphens between dots.
std::optional<StationAddress> parseHostAndPort(const QString &text);
