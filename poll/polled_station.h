#pragma once

#include "session/host_address.h"
#include "store/store_types.h"

#include <QList>
#include <QString>
#include <QStringList>

// One station to poll, from the console's station list or from a fleet file.
struct PolledStation {
    QString description;
    StationAddress address;
    QString timeZone;     // IANA name; empty: the PC's zone
    QString passwordKey;  // a [chaves] entry of poll.ini; empty: none
};

struct StationsLoad {
    QList<PolledStation> stations;
    QStringList problems;  // in Portuguese; any problem refuses the whole list
    QStringList notes;     // in Portuguese; said, and the list is used
};

// The station as the history store knows it, before the configuration reply gives its OFE number.
StationIdentity stationIdentity(const PolledStation &station);

// Every entry of the console's station list (Configuração.TXT in the data directory, which ends
// with a separator), on the controller's port as the console dials it, in the PC's zone. Entries
// past the 40th are noted and left out, as the console leaves them.
StationsLoad listedStations(const QString &dataDirectory);
