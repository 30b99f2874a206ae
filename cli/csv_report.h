#pragma once

#include "cli/command_report.h"
#include "cli/report_table.h"

#include <QByteArray>
#include <QTimeZone>

// RFC 4180: the command's main table with a header row, comma separated, CRLF line ends, a
// decimal point in numbers, and empty fields for values that are not there. UTF-8. Text fields
// have their control characters as U+FFFD and are guarded against formulas as the console's
// exports are.
QByteArray csvReport(const CommandReport &report);

// One table in that form.
QByteArray csvTable(const ReportTable &table);

// The daily book's CSV, as the console's exports write theirs for a Brazilian spreadsheet:
// semicolons, a decimal comma, dates DD/MM/AAAA and times in the station's zone, "sim" and "não",
// an empty field for what is unknown, UTF-8 (the byte order mark is the output stream's to write:
// decoding drops it). Every main table's rows go under the first one's header, so the main tables
// share their columns.
QByteArray brazilianCsv(const QList<ReportTable> &tables, const QTimeZone &zone);
