#include "book/month_days_table.h"

#include "book/month_texts.h"

#include <QHeaderView>
#include <QTableWidgetItem>

namespace {

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

} // namespace

MonthDaysTable::MonthDaysTable(QWidget *parent) : QTableWidget(0, ColumnCount, parent)
{
    setHorizontalHeaderLabels({QStringLiteral("Dia"), QStringLiteral("Vendas (L)"), QStringLiteral("Perda/ganho (L)"),
                               QStringLiteral("Acumulado (L)"), QStringLiteral("Situação")});
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setWordWrap(false);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
}

void MonthDaysTable::setProduct(const MonthProduct &product, const QList<QDate> &closedDays)
{
    setRowCount(int(product.days.size()));
    for (int row = 0; row < product.days.size(); ++row) {
        const MonthDay &day = product.days.at(row);
        const bool closed = closedDays.contains(day.date);
        setItem(row, Day, cell(day.date.toString(QStringLiteral("dd/MM/yyyy")), Qt::AlignLeft));
        setItem(row, Sales, cell(litresText(day.figures.sales), Qt::AlignRight));
        setItem(row, Variance, cell(litresText(day.figures.varianceLitres), Qt::AlignRight));
        setItem(row, Cumulative, cell(litresText(day.cumulativeVariance), Qt::AlignRight));
        setItem(row, State, cell(dayStateText(closed), Qt::AlignLeft));
    }
    resizeColumnsToContents();
}
