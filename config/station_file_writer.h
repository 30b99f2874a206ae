#pragma once

#include "config/station_table.h"

#include <QString>

// Empty when every field of rows 1-40 can be written and read back unchanged; otherwise a message
// naming the first offending item and field.
QString checkStationRows(const TabelaLocais &rows);

// Writes rows 1-40 as the station file of Diretorio_Dados, creating the directory when missing.
// Writes nothing when checkStationRows refuses the rows; a failed write leaves the previous file.
bool saveStationFile(const QString &Diretorio_Dados, const TabelaLocais &rows, QString *error = nullptr);
