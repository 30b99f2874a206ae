#pragma once

#include "closing/closing_book.h"
#include "cli/report_table.h"

#include <QByteArray>
#include <QMap>
#include <QString>

// The daily book as comzelta-cli prints it. Text and CSV give the products first (CSV only
// them), then the tanks, the nozzles and the invoices; JSON gives one object of them all with
// English snake_case keys and null for what is unknown. `prices` are the day's sale prices, by
// product.
QList<ReportTable> bookDayTables(const BookDay &day, const QMap<QString, double> &prices);
QByteArray bookDayJson(const QString &station, const BookDay &day, const QMap<QString, double> &prices);

// A month: one table a product, each a main table with the product in its rows, so that CSV
// writes them all as one.
QList<ReportTable> bookMonthTables(const QList<MonthProduct> &month);
QByteArray bookMonthJson(const QString &station, QDate month, const QList<MonthProduct> &products);
