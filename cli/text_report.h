#pragma once

#include "cli/command_report.h"
#include "cli/report_table.h"
#include "cli/report_values.h"

#include <QByteArray>

// The command's tables as the operator reads them: Portuguese headers, aligned columns, dates as
// DD/MM/AAAA, "-" for a value that is not there, control characters named (<ESC>). UTF-8.
QByteArray textReport(const CommandReport &report);

// Tables in that form, one after another with a blank line between them, their numbers as
// `number` writes them.
QString tablesText(const QList<ReportTable> &tables, QString (*number)(double) = numberText);
