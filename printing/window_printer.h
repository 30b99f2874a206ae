#pragma once

#include <QString>

class QWidget;

// Prints the image of the window's client area on the default printer, scaled to fit the page.
// Without a printer it says so and offers to save the same image as a PDF file.
void printWindow(QWidget *window);

// Writes the image of the window's client area as a one-page PDF file, replacing pdfPath only
// when the whole file could be written.
bool writeWindowPdf(QWidget *window, const QString &pdfPath, QString *error = nullptr);
