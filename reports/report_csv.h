#pragma once

#include "export/csv_writer.h"
#include "tables/report_tables.h"

class StationReadings;

#include <QList>

// The report windows as spreadsheet rows. A field is a number when the controller's text is a
// complete number, otherwise its text without the blanks around it; the date and the time of a
// reading make one date-time cell, empty when the date is impossible.

// The inventory window: its tank grid under a header, one row per tank with a reading or with the
// reason it has none, then an empty row and the totals by product under theirs. When a tank has no
// reading, both tables gain a last column, "Situação": the reason, and the mark of an incomplete
// total.
QList<CsvRow> inventoryRows(const StationReadings &readings);

// The results window: a header, then one row per record.
QList<CsvRow> resultsRows(const ScheduledTable &Tabela_Medicoes, int Num_Medicoes);
