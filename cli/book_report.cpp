#include "cli/book_report.h"

#include "cli/report_values.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

using OptionalNumber = std::optional<double>;

QJsonValue json(const OptionalNumber &value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

// The figures' columns, after the line's own.
const QList<ReportColumn> StockColumns{
    {QStringLiteral("opening_stock"), QStringLiteral("Abertura"), true},
    {QStringLiteral("receipts"), QStringLiteral("Recebimentos"), true},
    {QStringLiteral("available"), QStringLiteral("Disponível"), true},
    {QStringLiteral("sales"), QStringLiteral("Vendas"), true},
    {QStringLiteral("book_stock"), QStringLiteral("Escritural"), true},
    {QStringLiteral("physical_stock"), QStringLiteral("Físico"), true},
    {QStringLiteral("variance_litres"), QStringLiteral("Perda/ganho"), true},
    {QStringLiteral("variance_percent"), QStringLiteral("%"), true},
    {QStringLiteral("beyond_tolerance"), QStringLiteral("Além da tolerância"), false},
};

// Unknown, rather than "no", while the variance is: there is nothing to weigh against the tolerance.
std::optional<Flag> beyondTolerance(const StockFigures &figures)
{
    return figures.varianceLitres ? std::optional<Flag>(Flag{figures.beyondTolerance}) : std::nullopt;
}

QList<Cell> stockCells(const StockFigures &figures)
{
    const OptionalNumber percent =
        figures.variancePercent ? OptionalNumber(std::round(*figures.variancePercent * 100) / 100) : std::nullopt;
    return {figures.opening, OptionalNumber(figures.receipts), figures.available, figures.sales, figures.book,
            figures.physical, figures.varianceLitres, percent, beyondTolerance(figures)};
}

QJsonObject stockObject(const StockFigures &figures)
{
    return {
        {QStringLiteral("opening_stock"), json(figures.opening)},
        {QStringLiteral("receipts"), figures.receipts},
        {QStringLiteral("available"), json(figures.available)},
        {QStringLiteral("sales"), json(figures.sales)},
        {QStringLiteral("book_stock"), json(figures.book)},
        {QStringLiteral("physical_stock"), json(figures.physical)},
        {QStringLiteral("variance_litres"), json(figures.varianceLitres)},
        {QStringLiteral("variance_percent"), json(figures.variancePercent)},
        {QStringLiteral("beyond_tolerance"),
         beyondTolerance(figures) ? QJsonValue(figures.beyondTolerance) : QJsonValue(QJsonValue::Null)},
    };
}

OptionalNumber salePrice(const QMap<QString, double> &prices, const QString &product)
{
    const auto price = prices.constFind(product);
    return price == prices.cend() ? std::nullopt : OptionalNumber(*price);
}

} // namespace

QList<ReportTable> bookDayTables(const BookDay &day, const QMap<QString, double> &prices)
{
    ReportTable products{QStringLiteral("Produtos"),
                         QList<ReportColumn>{{QStringLiteral("product"), QStringLiteral("Produto"), false}} + StockColumns
                             + QList<ReportColumn>{{QStringLiteral("sale_price"), QStringLiteral("Preço (R$/L)"), true},
                                                   {QStringLiteral("justification"), QStringLiteral("Justificativa"), false}},
                         {},
                         true};
    for (const ProductFigures &product : day.figures.products)
        products.rows << QList<Cell>{product.product} + stockCells(product.figures)
                             + QList<Cell>{salePrice(prices, product.product), product.justification};

    ReportTable tanks{QStringLiteral("Tanques"),
                      QList<ReportColumn>{{QStringLiteral("tank"), QStringLiteral("Tanque"), true},
                                          {QStringLiteral("product"), QStringLiteral("Produto"), false}}
                          + StockColumns,
                      {},
                      false};
    for (const TankFigures &tank : day.figures.tanks)
        tanks.rows << QList<Cell>{OptionalNumber(tank.tank), tank.product} + stockCells(tank.figures);

    ReportTable nozzles{QStringLiteral("Bicos"),
                        {{QStringLiteral("nozzle"), QStringLiteral("Bico"), true},
                         {QStringLiteral("pump"), QStringLiteral("Bomba"), true},
                         {QStringLiteral("tank"), QStringLiteral("Tanque"), true},
                         {QStringLiteral("opening"), QStringLiteral("Encerrante inicial"), true},
                         {QStringLiteral("closing"), QStringLiteral("Encerrante final"), true},
                         {QStringLiteral("calibration"), QStringLiteral("Aferição"), true},
                         {QStringLiteral("sales"), QStringLiteral("Vendas"), true}},
                        {},
                        false};
    for (const NozzleFigures &nozzle : day.figures.nozzles)
        nozzles.rows << QList<Cell>{OptionalNumber(nozzle.nozzle.nozzle),
                                    nozzle.nozzle.pump > 0 ? OptionalNumber(nozzle.nozzle.pump) : std::nullopt,
                                    OptionalNumber(nozzle.nozzle.tank), nozzle.totaliser.opening, nozzle.totaliser.closing,
                                    OptionalNumber(nozzle.totaliser.calibration), nozzle.sales};

    ReportTable invoices{QStringLiteral("Notas e descargas"),
                         {{QStringLiteral("invoice"), QStringLiteral("Nota"), false},
                          {QStringLiteral("supplier"), QStringLiteral("Fornecedor"), false},
                          {QStringLiteral("product"), QStringLiteral("Produto"), false},
                          {QStringLiteral("invoiced"), QStringLiteral("Faturado"), true},
                          {QStringLiteral("measured"), QStringLiteral("Medido"), true},
                          {QStringLiteral("difference"), QStringLiteral("Diferença"), true}},
                         {},
                         false};
    for (const InvoiceMatch &match : day.invoices)
        invoices.rows << QList<Cell>{match.number.isEmpty() ? QStringLiteral("sem nota") : match.number, match.supplier,
                                     match.product, OptionalNumber(match.invoiced), match.measured, match.difference};
    return {products, tanks, nozzles, invoices};
}

QByteArray bookDayJson(const QString &station, const BookDay &day, const QMap<QString, double> &prices)
{
    QJsonArray products;
    for (const ProductFigures &product : day.figures.products) {
        QJsonObject object = stockObject(product.figures);
        object.insert(QStringLiteral("product"), product.product);
        object.insert(QStringLiteral("sale_price"), json(salePrice(prices, product.product)));
        object.insert(QStringLiteral("justification"),
                      product.justification.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(product.justification));
        products.append(object);
    }
    QJsonArray tanks;
    for (const TankFigures &tank : day.figures.tanks) {
        QJsonObject object = stockObject(tank.figures);
        object.insert(QStringLiteral("tank"), tank.tank);
        object.insert(QStringLiteral("product"), tank.product);
        tanks.append(object);
    }
    QJsonArray nozzles;
    for (const NozzleFigures &nozzle : day.figures.nozzles)
        nozzles.append(QJsonObject{
            {QStringLiteral("nozzle"), nozzle.nozzle.nozzle},
            {QStringLiteral("pump"), nozzle.nozzle.pump > 0 ? QJsonValue(nozzle.nozzle.pump) : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("tank"), nozzle.nozzle.tank},
            {QStringLiteral("opening"), json(nozzle.totaliser.opening)},
            {QStringLiteral("closing"), json(nozzle.totaliser.closing)},
            {QStringLiteral("calibration"), nozzle.totaliser.calibration},
            {QStringLiteral("sales"), json(nozzle.sales)},
        });
    QJsonArray invoices;
    for (const InvoiceMatch &match : day.invoices)
        invoices.append(QJsonObject{
            {QStringLiteral("number"), match.number.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(match.number)},
            {QStringLiteral("supplier"), match.supplier.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(match.supplier)},
            {QStringLiteral("product"), match.product},
            {QStringLiteral("invoiced_litres"), match.invoiced},
            {QStringLiteral("measured_litres"), json(match.measured)},
            {QStringLiteral("difference_litres"), json(match.difference)},
        });
    QJsonArray weighed;
    for (const int tank : day.figures.weighedTanks)
        weighed.append(tank);
    const QJsonObject object{
        {QStringLiteral("station"), station},
        {QStringLiteral("date"), day.figures.date.toString(Qt::ISODate)},
        {QStringLiteral("closed"), day.closed},
        {QStringLiteral("products"), products},
        {QStringLiteral("tanks"), tanks},
        {QStringLiteral("nozzles"), nozzles},
        {QStringLiteral("invoices"), invoices},
        {QStringLiteral("weighed_tanks"), weighed},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

QList<ReportTable> bookMonthTables(const QList<MonthProduct> &month)
{
    QList<ReportTable> tables;
    for (const MonthProduct &product : month) {
        ReportTable table{QStringLiteral("%1: vendas %2 L, perda/ganho acumulado %3 L")
                              .arg(product.product, brazilianNumberText(product.sales),
                                   brazilianNumberText(product.cumulativeVariance)),
                          QList<ReportColumn>{{QStringLiteral("product"), QStringLiteral("Produto"), false},
                                              {QStringLiteral("date"), QStringLiteral("Dia"), false}}
                              + StockColumns,
                          {},
                          true};
        for (const MonthDay &day : product.days)
            table.rows << QList<Cell>{product.product, std::optional<QDate>(day.date)} + stockCells(day.figures);
        tables << table;
    }
    return tables;
}

QByteArray bookMonthJson(const QString &station, QDate month, const QList<MonthProduct> &products)
{
    QJsonArray array;
    for (const MonthProduct &product : products) {
        QJsonArray days;
        for (const MonthDay &day : product.days) {
            QJsonObject object = stockObject(day.figures);
            object.insert(QStringLiteral("date"), day.date.toString(Qt::ISODate));
            days.append(object);
        }
        array.append(QJsonObject{
            {QStringLiteral("product"), product.product},
            {QStringLiteral("sales"), product.sales},
            {QStringLiteral("cumulative_variance_litres"), product.cumulativeVariance},
            {QStringLiteral("cumulative_variance_percent"), json(product.cumulativePercent)},
            {QStringLiteral("days"), days},
        });
    }
    const QJsonObject object{{QStringLiteral("station"), station},
                             {QStringLiteral("month"), month.toString(QStringLiteral("yyyy-MM"))},
                             {QStringLiteral("products"), array}};
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}
