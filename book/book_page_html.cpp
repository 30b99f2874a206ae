#include "book/book_page_html.h"

#include "book/book_print.h"
#include "closing/closing_texts.h"

#include <QLocale>
#include <QMap>
#include <QStringList>

#include <algorithm>

namespace {

using OptionalNumber = std::optional<double>;

const QLocale Brazilian(QLocale::Portuguese, QLocale::Brazil);

QString number(const OptionalNumber &value, int decimals = 2)
{
    return value ? Brazilian.toString(*value, 'f', decimals) : QStringLiteral("-");
}

// 14 digits as the Receita writes them: 12.345.678/0001-90.
QString cnpjText(const QString &digits)
{
    if (digits.size() != 14)
        return digits;
    return QStringLiteral("%1.%2.%3/%4-%5")
        .arg(digits.left(2), digits.mid(2, 3), digits.mid(5, 3), digits.mid(8, 4), digits.mid(12, 2));
}

QString cell(const QString &text, bool numeric = false)
{
    return numeric ? QStringLiteral("<td align=\"right\">%1</td>").arg(text) : QStringLiteral("<td>%1</td>").arg(text);
}

QString row(const QStringList &cells)
{
    return QStringLiteral("<tr>") + cells.join(QString()) + QStringLiteral("</tr>");
}

// In the table's head, so that a table running onto another page shows its captions there again.
QString headerRow(const QStringList &captions)
{
    QString html = QStringLiteral("<thead><tr>");
    for (const QString &caption : captions)
        html += QStringLiteral("<th bgcolor=\"#e6e6e6\">%1</th>").arg(caption);
    return html + QStringLiteral("</tr></thead>");
}

QString table(const QStringList &captions, const QStringList &rows)
{
    return QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                          "style=\"border-collapse: collapse; border-color: #808080\">")
           + headerRow(captions) + rows.join(QString()) + QStringLiteral("</table>");
}

QString section(int item, const QString &title, const QString &body = QString())
{
    return QStringLiteral("<h3>%1. %2</h3>").arg(item).arg(title) + body;
}

QString litresText(const OptionalNumber &litres)
{
    return litres ? number(litres) + QStringLiteral(" L") : QStringLiteral("-");
}

// A figure of the product on a line of its own under its section's title.
QString figure(int item, const QString &title, const OptionalNumber &litres)
{
    return section(item, QStringLiteral("%1: %2").arg(title, litresText(litres)));
}

QList<const TankFigures *> tanksOf(const DayFigures &figures, const QString &product)
{
    QList<const TankFigures *> tanks;
    for (const TankFigures &tank : figures.tanks)
        if (tank.product == product)
            tanks << &tank;
    return tanks;
}

bool holdsTank(const QList<const TankFigures *> &tanks, int number)
{
    return std::any_of(tanks.cbegin(), tanks.cend(), [number](const TankFigures *tank) { return tank->tank == number; });
}

QString tankTable(const QList<const TankFigures *> &tanks, const QString &caption,
                  OptionalNumber StockFigures::*value, const OptionalNumber &total)
{
    QStringList rows;
    for (const TankFigures *tank : tanks)
        rows << row({cell(QString::number(tank->tank)), cell(number(tank->figures.*value), true)});
    rows << row({cell(QStringLiteral("<b>Total</b>")), cell(QStringLiteral("<b>%1</b>").arg(number(total)), true)});
    return table({QStringLiteral("Tanque"), caption}, rows);
}

QString invoiceTable(const BookPrintInput &input, const ProductFigures &product)
{
    QStringList rows;
    for (const InvoiceMatch &match : input.day.invoices) {
        if (match.product != product.product)
            continue;
        rows << row({cell(match.number.isEmpty() ? QStringLiteral("sem nota") : match.number.toHtmlEscaped()),
                     cell(match.supplier.toHtmlEscaped()), cell(number(match.invoiced), true),
                     cell(number(match.measured), true)});
    }
    rows << row({cell(QStringLiteral("<b>Total recebido</b>")), cell(QString()),
                  cell(QStringLiteral("<b>%1</b>").arg(number(product.figures.receipts)), true), cell(QString())});
    return table({QStringLiteral("Nota fiscal"), QStringLiteral("Fornecedor"), QStringLiteral("Volume (L)"),
                  QStringLiteral("Medido no tanque (L)")},
                 rows);
}

QString nozzleTable(const DayFigures &figures, const QList<const TankFigures *> &tanks)
{
    QStringList rows;
    for (const NozzleFigures &nozzle : figures.nozzles) {
        if (!holdsTank(tanks, nozzle.nozzle.tank))
            continue;
        rows << row({cell(nozzle.nozzle.pump > 0 ? QString::number(nozzle.nozzle.pump) : QStringLiteral("-"), true),
                     cell(QString::number(nozzle.nozzle.nozzle), true), cell(QString::number(nozzle.nozzle.tank), true),
                     cell(number(nozzle.totaliser.opening), true), cell(number(nozzle.totaliser.closing), true),
                     cell(number(nozzle.totaliser.calibration), true), cell(number(nozzle.sales), true)});
    }
    return table({QStringLiteral("Bomba"), QStringLiteral("Bico"), QStringLiteral("Tanque"),
                  QStringLiteral("Encerrante inicial"), QStringLiteral("Encerrante final"), QStringLiteral("Aferição (L)"),
                  QStringLiteral("Vendas (L)")},
                 rows);
}

QString varianceText(const StockFigures &figures)
{
    if (!figures.varianceLitres)
        return QStringLiteral("-");
    return QStringLiteral("%1 (%2 %)%3")
        .arg(litresText(figures.varianceLitres), number(figures.variancePercent),
             figures.beyondTolerance ? QStringLiteral(", além da tolerância") : QString());
}

QString priceText(const QMap<QString, double> &prices, const QString &product)
{
    const auto price = prices.constFind(product);
    return price == prices.cend() ? QStringLiteral("não informado")
                                  : QStringLiteral("R$ %1 por litro").arg(number(*price, 3));
}

QString stateText(const BookPrintInput &input)
{
    const BookDay &day = input.day;
    if (!day.closed)
        return QStringLiteral("Dia aberto");
    QString who = day.closedBy.userName.toHtmlEscaped();
    if (!day.closedBy.machine.isEmpty())
        who += QStringLiteral(" (%1)").arg(day.closedBy.machine.toHtmlEscaped());
    QString text = QStringLiteral("Fechado por %1 em %2")
                       .arg(who, day.closedAt.toTimeZone(input.zone).toString(QStringLiteral("dd/MM/yyyy HH:mm")));
    if (day.divergentOpening)
        text += QStringLiteral("; abertura divergente: o fechamento físico do dia anterior mudou depois que este dia foi fechado");
    return text;
}

QString heading(const BookPrintInput &input, const QString &product)
{
    return QStringLiteral("<h1 align=\"center\">Livro de Movimentação de Combustíveis</h1>"
                          "<h2 align=\"center\">Fechamento Diário</h2>"
                          "<table width=\"100%\" cellpadding=\"2\">"
                          "<tr><td><b>Posto:</b> %1</td><td align=\"right\"><b>CNPJ:</b> %2</td></tr>"
                          "<tr><td><b>Produto:</b> %3</td><td align=\"right\"><b>Data:</b> %4</td></tr></table>")
        .arg(input.station.toHtmlEscaped(), input.cnpj.isEmpty() ? QStringLiteral("não informado") : cnpjText(input.cnpj),
             product.toHtmlEscaped(), input.day.figures.date.toString(QStringLiteral("dd/MM/yyyy")));
}

// Whether a problem of the day is the product's: of its tanks, of the nozzles that draw from them,
// or its justification. One of the whole day, or of a tank or nozzle the book has no figures
// for, is every product's.
bool concerns(const ClosingProblem &problem, const QString &product, const DayFigures &figures,
              const QList<const TankFigures *> &tanks)
{
    switch (problem.kind) {
    case ClosingProblem::NoOpeningReading:
    case ClosingProblem::NoClosingReading:
        return true;
    case ClosingProblem::DipstickMissing:
    case ClosingProblem::TankWithoutNozzles:
    case ClosingProblem::TankNeverMeasured:
        return holdsTank(tanks, problem.number)
               || std::none_of(figures.tanks.cbegin(), figures.tanks.cend(),
                               [&](const TankFigures &tank) { return tank.tank == problem.number; });
    case ClosingProblem::NozzleWithoutTotaliser:
    case ClosingProblem::ImpossibleTotaliser: {
        const auto nozzle = std::find_if(figures.nozzles.cbegin(), figures.nozzles.cend(),
                                         [&](const NozzleFigures &n) { return n.nozzle.nozzle == problem.number; });
        return nozzle == figures.nozzles.cend() || holdsTank(tanks, nozzle->nozzle.tank);
    }
    case ClosingProblem::JustificationNeeded:
        return problem.product == product;
    }
    return true;
}

// What the day still lacks, for this product, in the closing's own words.
QString pendingText(const BookPrintInput &input, const QString &product, const QList<const TankFigures *> &tanks)
{
    QStringList pending;
    for (const ClosingProblem &problem : input.day.figures.problems)
        if (concerns(problem, product, input.day.figures, tanks))
            pending << closingProblemText(problem, input.zone).toHtmlEscaped();
    return pending.isEmpty() ? QString()
                             : QStringLiteral("<p>Pendências do dia: %1</p>").arg(pending.join(QStringLiteral("; ")));
}

} // namespace

QString bookPageHtml(const BookPrintInput &input, const ProductFigures &product)
{
    const DayFigures &figures = input.day.figures;
    const StockFigures &stock = product.figures;
    const QList<const TankFigures *> tanks = tanksOf(figures, product.product);
    const QString justification =
        product.justification.isEmpty() ? QStringLiteral("nenhuma") : product.justification.toHtmlEscaped();
    return QStringLiteral("<html><body style=\"font-size: 9pt\">") + heading(input, product.product)
           + section(1, QStringLiteral("Estoque de abertura"),
                     tankTable(tanks, QStringLiteral("Estoque de abertura (L)"), &StockFigures::opening, stock.opening))
           + section(2, QStringLiteral("Volume recebido no dia"), invoiceTable(input, product))
           + figure(3, QStringLiteral("Volume disponível"), stock.available)
           + section(4, QStringLiteral("Volume vendido no dia"), nozzleTable(figures, tanks))
           + figure(5, QStringLiteral("Total das vendas"), stock.sales)
           + figure(6, QStringLiteral("Estoque escritural"), stock.book)
           + section(7, QStringLiteral("Fechamento físico"),
                     tankTable(tanks, QStringLiteral("Estoque de fechamento (L)"), &StockFigures::physical, stock.physical))
           + section(8, QStringLiteral("Perdas e ganhos: %1").arg(varianceText(stock)))
           + section(9, QStringLiteral("Preço de venda: %1").arg(priceText(input.prices, product.product)))
           + section(10, QStringLiteral("Justificativa: %1").arg(justification))
           + QStringLiteral("<p><b>%1</b></p>").arg(stateText(input)) + pendingText(input, product.product, tanks)
           + QStringLiteral("</body></html>");
}
