#include "printing/window_printer.h"

#include "printing/window_pages.h"

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

void offerPdf(QWidget *window)
{
    const auto answer = QMessageBox::question(
            window, QStringLiteral("Aviso"),
            QStringLiteral("Não há impressora instalada. Deseja gravar a imagem da janela em um arquivo PDF?"));
    if (answer != QMessageBox::Yes)
        return;
    const QString pdfPath = QFileDialog::getSaveFileName(
            window, QStringLiteral("Gravar imagem da janela"),
            QDir::home().filePath(window->windowTitle() + QStringLiteral(".pdf")),
            QStringLiteral("Arquivos PDF (*.pdf)"));
    if (pdfPath.isEmpty())
        return;
    QString error;
    if (!writeWindowPdf(window, pdfPath, &error))
        QMessageBox::warning(window, QStringLiteral("Aviso"), error);
}

} // namespace

void printWindow(QWidget *window)
{
    const QPrinterInfo printerInfo = installedPrinter();
    if (printerInfo.isNull()) {
        offerPdf(window);
        return;
    }
    QPrinter printer(printerInfo, QPrinter::HighResolution);
    printer.setDocName(window->windowTitle());
    if (!paintWindowPages(&printer, window)) {
        QMessageBox::warning(window, QStringLiteral("Aviso"),
                             QStringLiteral("Não foi possível imprimir a janela."));
    }
}

bool writeWindowPdf(QWidget *window, const QString &pdfPath, QString *error)
{
    QSaveFile file(pdfPath);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        QPdfWriter writer(&file);
        writer.setTitle(window->windowTitle());
        writer.setCreator(QStringLiteral("ComZelta"));
        written = paintWindowPages(&writer, window);
    }
    // Flushed first, so that a full disk fails here rather than committing a short PDF.
    written = written && file.flush() && file.commit();
    if (!written && error) {
        *error = QStringLiteral("Não foi possível gravar o arquivo %1.")
                         .arg(QDir::toNativeSeparators(pdfPath));
    }
    return written;
}
