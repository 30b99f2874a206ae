#pragma once

#include "base/result.h"
#include "stations/station_file_problem.h"
#include "stations/station_table.h"

#include <QString>
#include <QStringList>
#include <QVector>

// One line of the station selector: what it shows and the entry it connects to.
struct ListedStation {
    QString description;
    int entry = 0;

    bool operator==(const ListedStation &other) const
    {
        return description == other.description && entry == other.entry;
    }
};

// The console's load: item n of the file sets entry n. An item with an empty description empties
// only that entry's description; its IP and Port keep what they held, and entries past the last
// item keep everything. Returns the items with a description, in file order, for the selector; on
// failure the table is untouched.
Result<QVector<ListedStation>, StationFileProblem> loadStationTable(const QString &filePath,
                                                                   StationTable &table);

// The entries with a description, in entry order: the selector after the editor hands back its grid.
QVector<ListedStation> stationsInUse(const StationTable &table);

// The IP addresses of the entries with a description, trimmed, as the history names the hosts;
// an entry without one has none.
QStringList hostsInUse(const StationTable &table);
