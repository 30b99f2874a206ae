#pragma once

#include "closing/day_figures.h"

#include <QString>
#include <QStringList>

#include <optional>

// The book's numbers as the window shows and reads them: Brazilian whatever the system locale,
// to the hundredth at most, "-" for a figure that is not known.
QString bookNumberText(const std::optional<double> &value);
std::optional<double> bookNumber(const QString &text);

// The headers of the book's tables: a product's or a tank's figures, a nozzle, an invoice.
const QStringList &stockHeaders();
// "sim" or "não"; "-" while the variance is unknown, there being nothing to weigh.
QString beyondToleranceText(const StockFigures &figures);
const QStringList &nozzleHeaders();
const QStringList &invoiceHeaders();
