#include "closing/day_figures.h"

#include "closing/totaliser.h"

#include <algorithm>
#include <cmath>

namespace {

// Litres to the centilitre, as the book writes them, so that sums come out exact.
double rounded(double litres)
{
    return std::round(litres * 100) / 100;
}

std::optional<double> sum(const std::optional<double> &a, const std::optional<double> &b)
{
    if (!a || !b)
        return std::nullopt;
    return rounded(*a + *b);
}

// Fills in what follows from opening, receipts, sales and physical.
void complete(StockFigures &figures, const ClosingSettings &settings)
{
    if (figures.opening)
        figures.available = rounded(*figures.opening + figures.receipts);
    if (figures.available && figures.sales)
        figures.book = rounded(*figures.available - *figures.sales);
    if (!figures.book || !figures.physical)
        return;
    figures.varianceLitres = rounded(*figures.physical - *figures.book);
    const std::optional<double> base =
        settings.toleranceBase == ToleranceBase::Available ? figures.available : figures.physical;
    if (base && *base > 0) {
        figures.variancePercent = *figures.varianceLitres / *base * 100;
        figures.beyondTolerance = std::abs(*figures.variancePercent) > settings.tolerancePercent;
    } else {
        // Nothing to measure against, yet litres appeared or vanished.
        figures.beyondTolerance = *figures.varianceLitres != 0;
    }
}

std::optional<double> stockOf(const std::optional<StockSnapshot> &snapshot, int tank)
{
    if (!snapshot || !snapshot->litres.contains(tank))
        return std::nullopt;
    return snapshot->litres.value(tank);
}

} // namespace

bool ClosingProblem::operator==(const ClosingProblem &other) const
{
    return kind == other.kind && number == other.number && product == other.product && at == other.at;
}

bool DayFigures::computed() const
{
    return std::none_of(problems.cbegin(), problems.cend(),
                        [](const ClosingProblem &problem) { return problem.blocksComputation(); });
}

bool DayFigures::closable() const
{
    return problems.isEmpty();
}

DayFigures computeDay(const DayInputs &inputs, const ClosingSettings &settings)
{
    DayFigures day;
    day.date = inputs.date;
    day.closingStock = inputs.closing;

    QMap<int, TankFigures> tanks;
    for (const BookTank &tank : inputs.tanks) {
        if (tank.weighed) {
            day.weighedTanks << tank.tank;
            continue;
        }
        TankFigures figures{tank.tank, tank.product, {}};
        figures.figures.opening = stockOf(inputs.opening, tank.tank);
        figures.figures.receipts = rounded(inputs.receipts.value(tank.tank));
        figures.figures.physical = stockOf(inputs.closing, tank.tank);
        figures.figures.sales = 0.0;
        tanks.insert(tank.tank, figures);
    }
    if (!tanks.isEmpty() && !inputs.opening)
        day.problems << ClosingProblem{ClosingProblem::NoOpeningReading, 0, {}, inputs.start};
    if (!tanks.isEmpty() && !inputs.closing) {
        day.problems << ClosingProblem{ClosingProblem::NoClosingReading, 0, {}, inputs.end};
        if (!inputs.dippedTanks.isEmpty())
            for (auto tank = tanks.cbegin(); tank != tanks.cend(); ++tank)
                if (!inputs.dippedTanks.contains(tank.key()))
                    day.problems << ClosingProblem{ClosingProblem::DipstickMissing, tank.key(), {}, {}};
    }

    QList<BookNozzle> nozzles = inputs.nozzles;
    std::sort(nozzles.begin(), nozzles.end(), [](const BookNozzle &a, const BookNozzle &b) { return a.nozzle < b.nozzle; });
    for (const BookNozzle &nozzle : nozzles) {
        const auto tank = tanks.find(nozzle.tank);
        if (tank == tanks.end()) {
            // A weighed tank's nozzles are out of the book with it; a tank the gauge never read
            // (a probe off-line since it was fitted) would hide its sales and its stock.
            const bool known = std::any_of(inputs.tanks.cbegin(), inputs.tanks.cend(),
                                           [&](const BookTank &booked) { return booked.tank == nozzle.tank; });
            const ClosingProblem unread{ClosingProblem::TankNeverMeasured, nozzle.tank, {}, {}};
            if (!known && !day.problems.contains(unread))
                day.problems << unread;
            continue;
        }
        NozzleFigures figures{nozzle, inputs.totalisers.value(nozzle.nozzle), std::nullopt};
        if (!figures.totaliser.opening || !figures.totaliser.closing) {
            day.problems << ClosingProblem{ClosingProblem::NozzleWithoutTotaliser, nozzle.nozzle, {}, {}};
        } else {
            figures.sales = totaliserSales(*figures.totaliser.opening, *figures.totaliser.closing,
                                           figures.totaliser.calibration, settings.totaliserDigits);
            if (!figures.sales)
                day.problems << ClosingProblem{ClosingProblem::ImpossibleTotaliser, nozzle.nozzle, {}, {}};
        }
        tank->figures.sales = sum(tank->figures.sales, figures.sales);
        day.nozzles << figures;
    }

    for (auto tank = tanks.begin(); tank != tanks.end(); ++tank) {
        const bool drawn = std::any_of(nozzles.cbegin(), nozzles.cend(),
                                       [&](const BookNozzle &nozzle) { return nozzle.tank == tank.key(); });
        if (!drawn) {
            tank->figures.sales.reset();
            day.problems << ClosingProblem{ClosingProblem::TankWithoutNozzles, tank.key(), {}, {}};
        }
    }

    QMap<QString, ProductFigures> products;
    for (TankFigures &tank : tanks) {
        complete(tank.figures, settings);
        day.tanks << tank;
        auto product = products.find(tank.product);
        if (product == products.end()) {
            product = products.insert(tank.product, ProductFigures{tank.product, {}, {}});
            product->figures.opening = 0.0;
            product->figures.sales = 0.0;
            product->figures.physical = 0.0;
        }
        StockFigures &total = product->figures;
        total.opening = sum(total.opening, tank.figures.opening);
        total.receipts = rounded(total.receipts + tank.figures.receipts);
        total.sales = sum(total.sales, tank.figures.sales);
        total.physical = sum(total.physical, tank.figures.physical);
    }
    for (ProductFigures &product : products) {
        complete(product.figures, settings);
        product.justification = inputs.justifications.value(product.product).trimmed();
        if (product.figures.beyondTolerance && product.justification.isEmpty())
            day.problems << ClosingProblem{ClosingProblem::JustificationNeeded, 0, product.product, {}};
        day.products << product;
    }
    return day;
}
