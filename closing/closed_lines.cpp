#include "closing/closed_lines.h"

#include <algorithm>

namespace {

ClosedLine stockLine(ClosedLine::Kind kind, const QString &subject, const QString &product, const StockFigures &figures)
{
    ClosedLine line;
    line.kind = kind;
    line.subject = subject;
    line.product = product;
    line.opening = figures.opening;
    line.receipts = figures.receipts;
    line.available = figures.available;
    line.sales = figures.sales;
    line.bookStock = figures.book;
    line.physicalStock = figures.physical;
    line.varianceLitres = figures.varianceLitres;
    line.variancePercent = figures.variancePercent;
    line.beyondTolerance = figures.beyondTolerance;
    return line;
}

StockFigures stockFigures(const ClosedLine &line)
{
    StockFigures figures;
    figures.opening = line.opening;
    figures.receipts = line.receipts.value_or(0);
    figures.available = line.available;
    figures.sales = line.sales;
    figures.book = line.bookStock;
    figures.physical = line.physicalStock;
    figures.varianceLitres = line.varianceLitres;
    figures.variancePercent = line.variancePercent;
    figures.beyondTolerance = line.beyondTolerance;
    return figures;
}

} // namespace

QList<ClosedLine> closedLines(const DayFigures &figures)
{
    QList<ClosedLine> lines;
    for (const ProductFigures &product : figures.products) {
        ClosedLine line = stockLine(ClosedLine::Product, product.product, product.product, product.figures);
        line.justification = product.justification;
        lines << line;
    }
    for (const TankFigures &tank : figures.tanks) {
        ClosedLine line = stockLine(ClosedLine::Tank, QString::number(tank.tank), tank.product, tank.figures);
        line.tank = tank.tank;
        lines << line;
    }
    for (const NozzleFigures &nozzle : figures.nozzles) {
        ClosedLine line;
        line.kind = ClosedLine::Nozzle;
        line.subject = QString::number(nozzle.nozzle.nozzle);
        line.tank = nozzle.nozzle.tank;
        if (nozzle.nozzle.pump > 0)
            line.pump = nozzle.nozzle.pump;
        line.opening = nozzle.totaliser.opening;
        line.closingReading = nozzle.totaliser.closing;
        line.calibration = nozzle.totaliser.calibration;
        line.sales = nozzle.sales;
        lines << line;
    }
    return lines;
}

DayFigures figuresOf(const ClosedDay &day)
{
    DayFigures figures;
    figures.date = day.day;
    for (const ClosedLine &line : day.lines) {
        switch (line.kind) {
        case ClosedLine::Product:
            figures.products << ProductFigures{line.product, stockFigures(line), line.justification};
            break;
        case ClosedLine::Tank:
            figures.tanks << TankFigures{line.tank.value_or(0), line.product, stockFigures(line)};
            break;
        case ClosedLine::Nozzle:
            figures.nozzles << NozzleFigures{BookNozzle{line.subject.toInt(), line.pump.value_or(0), line.tank.value_or(0)},
                                             TotaliserDay{line.opening, line.closingReading, line.calibration.value_or(0)},
                                             line.sales};
            break;
        }
    }
    // Stored by kind and subject as text: "10" would come before "2".
    std::sort(figures.tanks.begin(), figures.tanks.end(), [](const TankFigures &a, const TankFigures &b) { return a.tank < b.tank; });
    std::sort(figures.nozzles.begin(), figures.nozzles.end(),
              [](const NozzleFigures &a, const NozzleFigures &b) { return a.nozzle.nozzle < b.nozzle.nozzle; });
    std::sort(figures.products.begin(), figures.products.end(),
              [](const ProductFigures &a, const ProductFigures &b) { return a.product < b.product; });
    return figures;
}
