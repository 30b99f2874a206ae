#pragma once

#include "config/station_table.h"

#include <QString>

// Empty when every field of rows 1-40 can be written and read back unchanged; otherwise a message
// naming the first offending item and field.
QString checkStationRows(const TabelaLocais &rows);

// Empty when entry `item` has all three fields or none, a field of blanks counting as empty;
// otherwise a message naming the item and its first empty field. The file leaves empty fields out,
// so a partial entry can load back with its fields shifted: the editor takes whole stations only.
QString checkWholeStation(int item, const Local &local);

// Writes rows 1-40 as the station file of Diretorio_Dados, creating the directory when missing.
// Writes nothing when checkStationRows refuses the rows; a failed write leaves the previous file.
bool saveStationFile(const QString &Diretorio_Dados, const TabelaLocais &rows, QString *error = nullptr);
