#include "book/book_csv.h"

#include "book/book_cells.h"

#include <cmath>

namespace {

CsvCell number(const std::optional<double> &value)
{
    return value ? CsvCell(*value) : CsvCell();
}

// To the hundredth, as the window shows it: a spreadsheet would print every binary digit.
CsvCell percent(const std::optional<double> &value)
{
    return value ? CsvCell(std::round(*value * 100) / 100) : CsvCell();
}

CsvRow texts(const QStringList &headers)
{
    CsvRow row;
    for (const QString &header : headers)
        row << header;
    return row;
}


CsvRow stockCells(const StockFigures &figures)
{
    return {number(figures.opening),       CsvCell(figures.receipts),      number(figures.available),
            number(figures.sales),         number(figures.book),           number(figures.physical),
            number(figures.varianceLitres), percent(figures.variancePercent),
            figures.varianceLitres ? CsvCell(beyondToleranceText(figures)) : CsvCell()};
}

} // namespace

QList<CsvRow> bookDayCsv(const BookDay &day)
{
    const DayFigures &figures = day.figures;
    QList<CsvRow> rows{{QStringLiteral("Dia"), figures.date.toString(QStringLiteral("dd/MM/yyyy")),
                        day.closed ? QStringLiteral("Fechado") : QStringLiteral("Aberto")},
                       {},
                       {QStringLiteral("Produtos")},
                       texts(QStringList{QStringLiteral("Produto")} + stockHeaders() + QStringList{QStringLiteral("Justificativa")})};
    for (const ProductFigures &product : figures.products)
        rows << CsvRow{product.product} + stockCells(product.figures) + CsvRow{product.justification};

    rows << CsvRow{} << CsvRow{QStringLiteral("Tanques")}
         << texts(QStringList{QStringLiteral("Tanque"), QStringLiteral("Produto")} + stockHeaders());
    for (const TankFigures &tank : figures.tanks)
        rows << CsvRow{double(tank.tank), tank.product} + stockCells(tank.figures);

    rows << CsvRow{} << CsvRow{QStringLiteral("Bicos")}
         << texts(nozzleHeaders());
    for (const NozzleFigures &nozzle : figures.nozzles)
        rows << CsvRow{double(nozzle.nozzle.nozzle), nozzle.nozzle.pump > 0 ? CsvCell(double(nozzle.nozzle.pump)) : CsvCell(),
                       double(nozzle.nozzle.tank), number(nozzle.totaliser.opening), number(nozzle.totaliser.closing),
                       nozzle.totaliser.calibration, number(nozzle.sales)};

    rows << CsvRow{} << CsvRow{QStringLiteral("Notas fiscais e descargas")}
         << texts(invoiceHeaders());
    for (const InvoiceMatch &match : day.invoices)
        rows << CsvRow{match.number.isEmpty() ? QStringLiteral("sem nota") : match.number, match.supplier, match.product,
                       match.invoiced, number(match.measured), number(match.difference)};
    return rows;
}
