#include "printing/grid_excerpt.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QRegion>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

bool showsWhole(const QTableView *grid, int row)
{
    const int top = grid->rowViewportPosition(row);
    return top >= 0 && top + grid->rowHeight(row) <= grid->viewport()->height();
}

bool hasText(const QTableWidget *grid, int row)
{
    for (int column = 0; column < grid->columnCount(); ++column) {
        const QTableWidgetItem *item = grid->item(row, column);
        if (item && !item->text().isEmpty())
            return true;
    }
    return false;
}

void copyHeaderLayout(const QHeaderView *from, QHeaderView *to)
{
    to->setVisible(!from->isHidden());
    to->setMinimumSectionSize(from->minimumSectionSize());
    to->setDefaultAlignment(from->defaultAlignment());
    to->setTextElideMode(from->textElideMode());
}

} // namespace

QList<int> rowsOutOfSight(const QTableWidget *grid)
{
    QList<int> rows;
    int lastWithText = -1;
    for (int row = 0; row < grid->rowCount(); ++row) {
        if (grid->isRowHidden(row) || showsWhole(grid, row))
            continue;
        rows << row;
        if (hasText(grid, row))
            lastWithText = int(rows.size());
    }
    return rows.mid(0, lastWithText < 0 ? 0 : lastWithText);
}

QRegion partlyShownRows(const QTableView *grid, const QWidget *window)
{
    QRegion cut;
    const QWidget *viewport = grid->viewport();
    const QHeaderView *rowNumbers = grid->verticalHeader();
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
        const int top = grid->rowViewportPosition(row);
        const int height = grid->rowHeight(row);
        if (grid->isRowHidden(row) || showsWhole(grid, row) || top + height <= 0 || top >= viewport->height())
            continue;
        for (const QWidget *part : {viewport, static_cast<const QWidget *>(rowNumbers)}) {
            if (part->isHidden())
                continue;
            const QRect band = QRect(0, top, part->width(), height) & part->rect();
            cut += QRect(part->mapTo(window, band.topLeft()), band.size());
        }
    }
    return cut;
}

std::unique_ptr<QWidget> gridExcerpt(const QTableWidget *grid, const QList<int> &rows, const QString &caption)
{
    auto box = std::make_unique<QGroupBox>(caption);
    box->setFont(grid->font());
    auto *copy = new QTableWidget(int(rows.size()), grid->columnCount(), box.get());
    copy->setFont(grid->font());
    copy->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    copy->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    copy->setTextElideMode(grid->textElideMode());
    copy->setShowGrid(grid->showGrid());
    copyHeaderLayout(grid->horizontalHeader(), copy->horizontalHeader());
    copyHeaderLayout(grid->verticalHeader(), copy->verticalHeader());

    for (int column = 0; column < grid->columnCount(); ++column) {
        if (const QTableWidgetItem *header = grid->horizontalHeaderItem(column))
            copy->setHorizontalHeaderItem(column, header->clone());
        copy->setColumnWidth(column, grid->columnWidth(column));
    }
    for (int i = 0; i < rows.size(); ++i) {
        const int row = rows[i];
        // Row numbers, where the grid shows them, stay those of the grid.
        copy->setVerticalHeaderItem(i, new QTableWidgetItem(grid->model()->headerData(row, Qt::Vertical).toString()));
        copy->setRowHeight(i, grid->rowHeight(row));
        for (int column = 0; column < grid->columnCount(); ++column) {
            if (const QTableWidgetItem *item = grid->item(row, column))
                copy->setItem(i, column, item->clone());
        }
        // Every cell a span covers reports the span's width: from one span's first cell to the next.
        for (int column = 0, span = 1; column < grid->columnCount(); column += span) {
            span = grid->columnSpan(row, column);
            if (span > 1)
                copy->setSpan(i, column, 1, span);
        }
    }

    copy->ensurePolished();
    const QHeaderView *columns = copy->horizontalHeader();
    const QHeaderView *rowHeader = copy->verticalHeader();
    const int frame = 2 * copy->frameWidth();
    copy->setFixedSize(frame + (rowHeader->isHidden() ? 0 : rowHeader->sizeHint().width()) + columns->length(),
                       frame + (columns->isHidden() ? 0 : columns->sizeHint().height()) + rowHeader->length());
    auto *layout = new QVBoxLayout(box.get());
    layout->addWidget(copy);
    box->adjustSize();
    return box;
}
