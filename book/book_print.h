#pragma once

#include "closing/closing_book.h"

#include <QMap>
#include <QString>
#include <QTimeZone>

class QWidget;

// What the printed book of a day is made of, as the window already holds it.
struct BookPrintInput {
    QString station;
    QString cnpj;    // digits only, as the book's settings keep it; empty when not set
    QTimeZone zone;  // the station's, for when the day was closed
    BookDay day;
    QMap<QString, double> prices;  // the day's sale prices, R$ per litre by product
};

// Prints the day's book, one page per product, on the default printer; without a printer it
// offers a PDF file instead. True once printed or saved.
bool printBook(const BookPrintInput &input, QWidget *parent);

// Writes the pages printBook prints as a PDF file, replacing pdfPath only when the whole file
// could be written.
bool writeBookPdf(const BookPrintInput &input, const QString &pdfPath, QString *error = nullptr);
