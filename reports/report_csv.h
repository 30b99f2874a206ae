#pragma once

#include "export/csv_writer.h"
#include "tables/report_tables.h"

#include <QList>

// The report windows as spreadsheet rows. A field is a number when the controller's text is a
// complete number, otherwise its text without the blanks around it; the date and the time of a
// reading make one date-time cell, empty when the date is impossible.

// The inventory window: its tank grid under a header, one row per tank with a reading, then an
// empty row and the totals by product under theirs.
QList<CsvRow> inventoryRows(const TankTable &Tabela_Tanques, double Num_Tanques);

// The results window: a header, then one row per record.
QList<CsvRow> resultsRows(const ScheduledTable &Tabela_Medicoes, int Num_Medicoes);
