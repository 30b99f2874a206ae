#pragma once

#include <QString>

#include <functional>

class QPagedPaintDevice;
class QWidget;

// Something printed in pages: a window, the daily book.
struct PrintedPages {
    QString title;        // the document's name, and the PDF file's suggested name
    QString pdfQuestion;  // asked when there is no printer
    QString pdfCaption;   // of the file dialog that follows
    QString failure;      // said when the printer refuses them
    std::function<bool(QPagedPaintDevice *device)> paint;
};

// Prints the pages on the default printer. Without a printer it says so and offers to save the
// same pages as a PDF file. True once they are printed or saved.
bool printPages(const PrintedPages &pages, QWidget *parent);

// Writes the pages as a PDF file, replacing pdfPath only when the whole file could be written.
bool writePagesPdf(const PrintedPages &pages, const QString &pdfPath, QString *error = nullptr);
