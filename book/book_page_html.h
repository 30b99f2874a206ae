#pragma once

#include <QString>

struct BookPrintInput;
struct ProductFigures;

// One product's page of the day's book, in the book's order: the station and the day, the
// opening stock by tank, the invoices received, the volume available, the nozzles' totalisers
// and sales, the book stock, the physical closing by tank, the loss or gain, the sale price, the
// justification and who closed the day. Numbers and dates are Brazilian whatever the locale.
QString bookPageHtml(const BookPrintInput &input, const ProductFigures &product);
