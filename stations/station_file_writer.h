#pragma once

#include "base/result.h"
#include "stations/station_file_problem.h"
#include "stations/station_table.h"

#include <QString>

// Whether every field of rows 1-40 can be written and read back unchanged; otherwise the first
// offending item and field.
Result<void, StationFileProblem> checkStationRows(const StationTable &rows);

// Whether entry `item` has all three fields or none, a field of blanks counting as empty;
// otherwise the item and its first empty field. The file leaves empty fields out,
// so a partial entry can load back with its fields shifted: the editor takes whole stations only.
Result<void, StationFileProblem> checkWholeStation(int item, const StationEntry &local);

// Writes rows 1-40 as the station file of dataDirectory, creating the directory when missing.
// Writes nothing when checkStationRows refuses the rows; a failed write leaves the previous file.
Result<void, StationFileProblem> saveStationFile(const QString &dataDirectory, const StationTable &rows);
