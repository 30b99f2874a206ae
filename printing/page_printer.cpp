#include "printing/page_printer.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QWidget>

namespace {

QPrinterInfo installedPrinter()
{
    const QPrinterInfo standard = QPrinterInfo::defaultPrinter();
    if (!standard.isNull())
        return standard;
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    return printers.isEmpty() ? QPrinterInfo() : printers.first();
}

bool offerPdf(const PrintedPages &pages, QWidget *parent)
{
    const auto answer = QMessageBox::question(parent, QStringLiteral("Aviso"),
                                              QStringLiteral("Não há impressora instalada. ") + pages.pdfQuestion);
    if (answer != QMessageBox::Yes)
        return false;
    const QString pdfPath = QFileDialog::getSaveFileName(parent, pages.pdfCaption,
                                                         QDir::home().filePath(pages.title + QStringLiteral(".pdf")),
                                                         QStringLiteral("Arquivos PDF (*.pdf)"));
    if (pdfPath.isEmpty())
        return false;
    QString error;
    if (writePagesPdf(pages, pdfPath, &error))
        return true;
    QMessageBox::warning(parent, QStringLiteral("Aviso"), error);
    return false;
}

} // namespace

bool printPages(const PrintedPages &pages, QWidget *parent)
{
    const QPrinterInfo printerInfo = installedPrinter();
    if (printerInfo.isNull())
        return offerPdf(pages, parent);
    QPrinter printer(printerInfo, QPrinter::HighResolution);
    printer.setDocName(pages.title);
    if (pages.paint(&printer))
        return true;
    QMessageBox::warning(parent, QStringLiteral("Aviso"), pages.failure);
    return false;
}

bool writePagesPdf(const PrintedPages &pages, const QString &pdfPath, QString *error)
{
    QSaveFile file(pdfPath);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        QPdfWriter writer(&file);
        writer.setTitle(pages.title);
        writer.setCreator(QStringLiteral("ComZelta"));
        written = pages.paint(&writer);
    }
    // Flushed first, so that a full disk fails here rather than committing a short PDF.
    written = written && file.flush() && file.commit();
    if (!written && error) {
        *error = QStringLiteral("Não foi possível gravar o arquivo %1.")
                         .arg(QDir::toNativeSeparators(pdfPath));
    }
    return written;
}
