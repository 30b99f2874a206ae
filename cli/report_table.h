#pragma once

#include "cli/command_report.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>
#include <variant>

// A command's result as tables, for the formats that print rows: CSV writes the main table, the
// text format all of them with their Portuguese headers.

struct Flag {
    bool on = false;
};
using Cell = std::variant<QString, std::optional<double>, std::optional<QDateTime>, std::optional<QDate>, std::optional<Flag>>;

struct ReportColumn {
    QString key;     // CSV header
    QString header;  // text header
    bool numeric = false;
};

struct ReportTable {
    QString title;  // text only; may be empty
    QList<ReportColumn> columns;
    QList<QList<Cell>> rows;
    bool main = false;  // the one CSV writes; the book's CSV writes every main table's rows
};

QList<ReportTable> reportTables(const CommandReport &report);
