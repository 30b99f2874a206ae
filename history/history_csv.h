#pragma once

#include "export/csv_writer.h"
#include "store/history_queries.h"

// The history window's readings as spreadsheet rows: a header, then one row per reading, its
// time a date-time cell (written in the format's zone) and each value a number or empty.
QList<CsvRow> historyCsvRows(const QList<StoredMeasurement> &rows);
