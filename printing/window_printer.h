#pragma once

#include <QString>

class QWidget;

// Prints the window's client area on the default printer, scaled to fit the page, followed by
// the rows of its grids that are out of sight (see paintWindowPages). Without a printer it says
// so and offers to save the same pages as a PDF file.
void printWindow(QWidget *window);

// Writes the pages printWindow prints as a PDF file, replacing pdfPath only when the whole file
// could be written.
bool writeWindowPdf(QWidget *window, const QString &pdfPath, QString *error = nullptr);
