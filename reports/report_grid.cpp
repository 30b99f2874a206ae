#include "reports/report_grid.h"

#include "reports/twips.h"

#include <QTableWidget>

void initGrid(QTableWidget *grid, int dataRows, std::initializer_list<GridColumn> columns)
{
    // Dropping the rows drops every cell text with them.
    grid->setRowCount(0);
    grid->setColumnCount(int(columns.size()));
    int column = 0;
    for (const GridColumn &c : columns) {
        grid->setHorizontalHeaderItem(column, new QTableWidgetItem(QString::fromUtf8(c.header)));
        grid->setColumnWidth(column, twipsToPixels(c.widthTwips));
        ++column;
    }
    growGrid(grid, dataRows);
}

void growGrid(QTableWidget *grid, int dataRows)
{
    const int first = grid->rowCount();
    if (dataRows <= first)
        return;
    grid->setRowCount(dataRows);
    for (int row = first; row < dataRows; ++row) {
        for (int column = 0; column < grid->columnCount(); ++column) {
            auto *item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            grid->setItem(row, column, item);
        }
    }
}

void setCell(QTableWidget *grid, int row, int column, const QString &text)
{
    grid->item(row, column)->setText(text);
}
