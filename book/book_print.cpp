#include "book/book_print.h"

#include "book/book_pages.h"
#include "printing/page_printer.h"

namespace {

PrintedPages bookPages(const BookPrintInput &input)
{
    return {QStringLiteral("LMC %1 %2").arg(input.station, input.day.figures.date.toString(QStringLiteral("dd-MM-yyyy"))),
            QStringLiteral("Deseja gravar o livro em um arquivo PDF?"),
            QStringLiteral("Gravar livro"),
            QStringLiteral("Não foi possível imprimir o livro."),
            [input](QPagedPaintDevice *device) { return paintBookPages(device, input); }};
}

} // namespace

bool printBook(const BookPrintInput &input, QWidget *parent)
{
    return printPages(bookPages(input), parent);
}

bool writeBookPdf(const BookPrintInput &input, const QString &pdfPath, QString *error)
{
    return writePagesPdf(bookPages(input), pdfPath, error);
}
