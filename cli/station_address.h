#pragma once

#include "session/host_address.h"

#include <QString>
#include <QStringList>

#include <optional>

struct StationResolution {
    std::optional<StationAddress> address;
    QString description;  // the station list's, when the name came from it
    QString error;  // why there is no address, in Portuguese
    QStringList listedHosts;  // every host of the station list, when it was read
};

// A station named on the command line: a description in the station list of the data directory
// (exact match, reached on port 4001 like the console does), else HOST[:PORT]. Nothing here
// touches the network: a name that is neither listed nor a well-formed address is refused.
StationResolution resolveStation(const QString &name, const QString &dataDirectory);
