#include "book/book_day_view.h"

#include "book/book_cells.h"
#include "closing/closing_texts.h"

#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {


enum NozzleColumn { Nozzle, Pump, Tank, Opening, Closing, Calibration, NozzleSales };
constexpr int JustificationColumn = 10;  // of the products' table, after its name and the figures

QTableWidget *table(const QString &name, const QStringList &headers, QWidget *parent)
{
    auto *result = new QTableWidget(0, int(headers.size()), parent);
    result->setObjectName(name);
    result->setAccessibleName(name);
    result->setHorizontalHeaderLabels(headers);
    result->verticalHeader()->hide();
    result->setWordWrap(false);
    result->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                            | QAbstractItemView::AnyKeyPressed);
    return result;
}

QTableWidgetItem *cell(const QString &text, bool number = false)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QTableWidgetItem *numberCell(const std::optional<double> &value)
{
    return cell(bookNumberText(value), true);
}

void makeEditable(QTableWidgetItem *item)
{
    item->setFlags(item->flags() | Qt::ItemIsEditable);
}

// The stock columns from `first` on; the variance in red when it is beyond the tolerance.
void setStockCells(QTableWidget *table, int row, int first, const StockFigures &figures)
{
    const QList<std::optional<double>> values{figures.opening, figures.receipts,       figures.available,
                                              figures.sales,   figures.book,           figures.physical,
                                              figures.varianceLitres, figures.variancePercent};
    for (int i = 0; i < values.size(); ++i)
        table->setItem(row, first + i, numberCell(values[i]));
    table->setItem(row, first + int(values.size()), cell(beyondToleranceText(figures)));
    if (!figures.beyondTolerance)
        return;
    for (int column = first + 6; column <= first + 8; ++column) {
        table->item(row, column)->setBackground(QColor(0xf4, 0xc7, 0xc3));
        table->item(row, column)->setForeground(Qt::darkRed);
    }
}

} // namespace

BookDayView::BookDayView(QWidget *parent) : QWidget(parent)
{
    products_ = table(QStringLiteral("Produtos"),
                      QStringList{QStringLiteral("Produto")} + stockHeaders() + QStringList{QStringLiteral("Justificativa")},
                      this);
    products_->horizontalHeader()->setStretchLastSection(true);
    tanks_ = table(QStringLiteral("Tanques"), QStringList{QStringLiteral("Tanque"), QStringLiteral("Produto")} + stockHeaders(),
                   this);
    nozzles_ = table(QStringLiteral("Bicos"),
                     nozzleHeaders(),
                     this);
    invoices_ = table(QStringLiteral("Notas"),
                      invoiceHeaders(),
                      this);
    problems_ = new QLabel(this);
    problems_->setObjectName(QStringLiteral("Pendencias"));
    problems_->setAccessibleName(QStringLiteral("Pendências"));
    problems_->setWordWrap(true);
    QPalette warning = problems_->palette();
    warning.setColor(QPalette::WindowText, Qt::darkRed);
    problems_->setPalette(warning);

    auto *layout = new QVBoxLayout(this);
    const QList<std::pair<QString, QTableWidget *>> sections{{QStringLiteral("Produtos"), products_},
                                                             {QStringLiteral("Tanques"), tanks_},
                                                             {QStringLiteral("Bicos e encerrantes"), nozzles_},
                                                             {QStringLiteral("Notas fiscais e descargas"), invoices_}};
    for (const auto &[title, section] : sections) {
        auto *label = new QLabel(QStringLiteral("<b>%1</b>").arg(title), this);
        label->setBuddy(section);
        layout->addWidget(label);
        layout->addWidget(section, 1);
    }
    layout->addWidget(problems_);

    connect(products_, &QTableWidget::itemChanged, this, &BookDayView::justificationChanged);
    connect(nozzles_, &QTableWidget::itemChanged, this, &BookDayView::nozzleChanged);
}

void BookDayView::clear()
{
    showDay(BookDay{}, QTimeZone::utc());
}

void BookDayView::showDay(const BookDay &day, const QTimeZone &zone)
{
    const QMap<QString, QString> typed = justifications();
    shown_ = day;
    filling_ = true;
    const DayFigures &figures = day.figures;

    products_->setRowCount(int(figures.products.size()));
    for (int row = 0; row < figures.products.size(); ++row) {
        const ProductFigures &product = figures.products[row];
        products_->setItem(row, 0, cell(product.product));
        setStockCells(products_, row, 1, product.figures);
        // What the operator typed stays until the day is closed with it.
        auto *justification = cell(product.justification.isEmpty() ? typed.value(product.product) : product.justification);
        if (!day.closed && product.figures.beyondTolerance)
            makeEditable(justification);
        products_->setItem(row, JustificationColumn, justification);
    }

    tanks_->setRowCount(int(figures.tanks.size()));
    for (int row = 0; row < figures.tanks.size(); ++row) {
        const TankFigures &tank = figures.tanks[row];
        tanks_->setItem(row, 0, cell(QString::number(tank.tank), true));
        tanks_->setItem(row, 1, cell(tank.product));
        setStockCells(tanks_, row, 2, tank.figures);
    }

    nozzles_->setRowCount(int(figures.nozzles.size()));
    for (int row = 0; row < figures.nozzles.size(); ++row) {
        const NozzleFigures &nozzle = figures.nozzles[row];
        nozzles_->setItem(row, Nozzle, cell(QString::number(nozzle.nozzle.nozzle), true));
        nozzles_->setItem(row, Pump, cell(nozzle.nozzle.pump > 0 ? QString::number(nozzle.nozzle.pump) : QStringLiteral("-"), true));
        nozzles_->setItem(row, Tank, cell(QString::number(nozzle.nozzle.tank), true));
        nozzles_->setItem(row, Opening, numberCell(nozzle.totaliser.opening));
        nozzles_->setItem(row, Closing, numberCell(nozzle.totaliser.closing));
        nozzles_->setItem(row, Calibration, numberCell(nozzle.totaliser.calibration));
        nozzles_->setItem(row, NozzleSales, numberCell(nozzle.sales));
        if (!day.closed)
            for (const int column : {Opening, Closing, Calibration})
                makeEditable(nozzles_->item(row, column));
    }

    invoices_->setRowCount(int(day.invoices.size()));
    for (int row = 0; row < day.invoices.size(); ++row) {
        const InvoiceMatch &match = day.invoices[row];
        invoices_->setItem(row, 0, cell(match.number.isEmpty() ? QStringLiteral("sem nota") : match.number));
        invoices_->setItem(row, 1, cell(match.supplier));
        invoices_->setItem(row, 2, cell(match.product));
        invoices_->setItem(row, 3, numberCell(match.invoiced));
        invoices_->setItem(row, 4, numberCell(match.measured));
        invoices_->setItem(row, 5, numberCell(match.difference));
    }
    for (QTableWidget *section : {products_, tanks_, nozzles_, invoices_})
        section->resizeColumnsToContents();

    QStringList missing;
    for (const ClosingProblem &problem : figures.problems)
        missing << closingProblemText(problem, zone);
    problems_->setText(missing.isEmpty() ? QString()
                                         : QStringLiteral("Pendências: ") + missing.join(QStringLiteral("; ")));
    problems_->setVisible(!missing.isEmpty());
    filling_ = false;
}

QMap<QString, QString> BookDayView::justifications() const
{
    QMap<QString, QString> typed;
    for (int row = 0; row < products_->rowCount(); ++row) {
        const QTableWidgetItem *product = products_->item(row, 0);
        const QTableWidgetItem *justification = products_->item(row, JustificationColumn);
        if (product && justification && !justification->text().trimmed().isEmpty())
            typed.insert(product->text(), justification->text().trimmed());
    }
    return typed;
}

void BookDayView::justificationChanged(QTableWidgetItem *item)
{
    if (!filling_ && item->column() == JustificationColumn)
        emit justificationsEdited();
}

void BookDayView::nozzleChanged(QTableWidgetItem *item)
{
    if (filling_ || item->row() >= shown_.figures.nozzles.size())
        return;
    const NozzleFigures &shown = shown_.figures.nozzles[item->row()];
    const QString text = item->text();
    const std::optional<double> typed = bookNumber(text);
    if (!typed || *typed < 0) {
        const QSignalBlocker blocker(nozzles_);
        const TotaliserDay &was = shown.totaliser;
        item->setText(bookNumberText(item->column() == Opening   ? was.opening
                                     : item->column() == Closing ? was.closing
                                                                 : std::optional<double>(was.calibration)));
        emit badEntry(QStringLiteral("Bico %1: \"%2\" não é um número").arg(shown.nozzle.nozzle).arg(text));
        return;
    }
    TotaliserRecord record{shown_.figures.date, shown.nozzle.nozzle, shown.totaliser.opening, shown.totaliser.closing,
                           shown.totaliser.calibration};
    if (item->column() == Opening)
        record.opening = typed;
    else if (item->column() == Closing)
        record.closing = typed;
    else
        record.calibration = *typed;
    emit totaliserEdited(record);
}
