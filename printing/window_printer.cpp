#include "printing/window_printer.h"

#include "printing/page_printer.h"
#include "printing/window_pages.h"

#include <QWidget>

namespace {

PrintedPages windowPages(QWidget *window)
{
    return {window->windowTitle(),
            QStringLiteral("Deseja gravar a imagem da janela em um arquivo PDF?"),
            QStringLiteral("Gravar imagem da janela"),
            QStringLiteral("Não foi possível imprimir a janela."),
            [window](QPagedPaintDevice *device) { return paintWindowPages(device, window); }};
}

} // namespace

void printWindow(QWidget *window)
{
    printPages(windowPages(window), window);
}

bool writeWindowPdf(QWidget *window, const QString &pdfPath, QString *error)
{
    return writePagesPdf(windowPages(window), pdfPath, error);
}
