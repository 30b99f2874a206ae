#pragma once

#include "closing/closing_book.h"
#include "cli/report_table.h"

#include <QByteArray>
#include <QString>

// The daily book as comzelta-cli prints it. Text and CSV give the products first (CSV only
// them), then the tanks, the nozzles and the invoices; JSON gives one object of them all with
// English snake_case keys and null for what is unknown.
QList<ReportTable> bookDayTables(const BookDay &day);
QByteArray bookDayJson(const QString &station, const BookDay &day);

QList<ReportTable> bookMonthTables(const QList<MonthProduct> &month);
QByteArray bookMonthJson(const QString &station, QDate month, const QList<MonthProduct> &products);
