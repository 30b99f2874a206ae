#pragma once

#include "base/result.h"
#include "stations/station_file_problem.h"
#include "stations/station_table.h"

#include <QString>
#include <QVector>

#include <optional>

// Only the first 40 items of the file matter; anything this large is not a station list.
constexpr qint64 MaxStationFileBytes = 1024 * 1024;

struct StationItem {
    StationEntry fields;  // as the console reads them
    int line = 0;  // where the item starts, from 1
    // The columns as the line shows them, when its description columns are all blank: the
    // console, skipping the blanks, reads the IP as the description.
    std::optional<StationEntry> withoutDescription;
};

struct StationFile {
    QVector<StationItem> items;  // the first 40
    int itemsBeyond = 0;         // items past the 40th that are not empty
};

// The first 40 items of the station file, each split into its three trimmed columns. Fails when
// the file is missing, not a regular file, unreadable or too large.
Result<StationFile, StationFileProblem> readStationFile(const QString &filePath);

// The fields of readStationFile's items.
Result<QVector<StationEntry>, StationFileProblem> readStationItems(const QString &filePath);
