#include "printing/window_printer.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QWidget>

namespace {

bool paintFitted(QPagedPaintDevice *page, const QPixmap &image)
{
    page->setPageOrientation(image.width() > image.height() ? QPageLayout::Landscape
                                                            : QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(page))
        return false;
    const QRect area = painter.viewport();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(area.topLeft(), image.size().scaled(area.size(), Qt::KeepAspectRatio)),
                       image);
    return painter.end();
}

bool writePixmapPdf(const QPixmap &image, const QString &title, const QString &pdfPath, QString *error)
{
    QSaveFile file(pdfPath);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("ComZelta"));
        written = paintFitted(&writer, image);
    }
    // Flushed first, so that a full disk fails here rather than committing a short PDF.
    written = written && file.flush() && file.commit();
    if (!written && error) {
        *error = QStringLiteral("Não foi possível gravar o arquivo %1.")
                         .arg(QDir::toNativeSeparators(pdfPath));
    }
    return written;
}

QPrinterInfo installedPrinter()
{
    const QPrinterInfo standard = QPrinterInfo::defaultPrinter();
    if (!standard.isNull())
        return standard;
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    return printers.isEmpty() ? QPrinterInfo() : printers.first();
}

void offerPdf(QWidget *window, const QPixmap &image)
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
    if (!writePixmapPdf(image, window->windowTitle(), pdfPath, &error))
        QMessageBox::warning(window, QStringLiteral("Aviso"), error);
}

} // namespace

void printWindow(QWidget *window)
{
    // Taken first, so no message box of ours can appear in the image.
    const QPixmap image = window->grab();
    const QPrinterInfo printerInfo = installedPrinter();
    if (printerInfo.isNull()) {
        offerPdf(window, image);
        return;
    }
    QPrinter printer(printerInfo, QPrinter::HighResolution);
    printer.setDocName(window->windowTitle());
    if (!paintFitted(&printer, image)) {
        QMessageBox::warning(window, QStringLiteral("Aviso"),
                             QStringLiteral("Não foi possível imprimir a janela."));
    }
}

bool writeWindowPdf(QWidget *window, const QString &pdfPath, QString *error)
{
    return writePixmapPdf(window->grab(), window->windowTitle(), pdfPath, error);
}
