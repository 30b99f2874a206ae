#pragma once

#include "closing/closing_book.h"
#include "export/csv_writer.h"

// A day of the book as "Exportar CSV" saves it: one block per table, each under its title and
// headers, numbers as numbers.
QList<CsvRow> bookDayCsv(const BookDay &day);
