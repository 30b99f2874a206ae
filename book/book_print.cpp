#include "book/book_print.h"

#include "book/book_pages.h"
#include "printing/page_printer.h"

namespace {

// Also the PDF file's suggested name, so no slash: the station's would make it a folder.
QString documentName(const BookPrintInput &input)
{
    QString station = input.station;
    station.replace(QLatin1Char('/'), QLatin1Char('-'));
    return QStringLiteral("Fechamento Diário (LMC) - %1 - %2")
        .arg(station, input.day.figures.date.toString(QStringLiteral("dd-MM-yyyy")));
}

PrintedPages bookPages(const BookPrintInput &input)
{
    return {documentName(input),
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
