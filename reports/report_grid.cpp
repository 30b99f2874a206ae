#include "reports/report_grid.h"

#include "reports/twips.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableWidget>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

constexpr double SmallestPointSize = 6.0;

// The narrowest width showing the cell's text whole. The cell's margins are the style's own: the
// Windows styles leave more room around a text than Linux's.
int textWidth(const QTableWidget *grid, const QTableWidgetItem *item)
{
    QStyleOptionViewItem option;
    option.initFrom(grid);
    option.font = grid->font();
    option.fontMetrics = QFontMetrics(grid->font());
    option.features = QStyleOptionViewItem::HasDisplay;
    option.text = item->text();
    option.displayAlignment = Qt::Alignment(item->textAlignment());
    const int gridLine = grid->showGrid() ? 1 : 0;
    return grid->style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), grid).width() + gridLine;
}

// The narrowest width of each column showing its header and every cell text whole. A text across
// several columns needs their widths together; what they lack for it goes to the last of them.
std::vector<int> neededWidths(const QTableWidget *grid)
{
    std::vector<int> widths;
    for (int column = 0; column < grid->columnCount(); ++column)
        widths.push_back(grid->horizontalHeader()->sectionSizeHint(column));
    for (int row = 0; row < grid->rowCount(); ++row) {
        for (int column = 0; column < grid->columnCount(); ++column) {
            if (const QTableWidgetItem *item = grid->item(row, column); item && grid->columnSpan(row, column) == 1)
                widths[std::size_t(column)] = std::max(widths[std::size_t(column)], textWidth(grid, item));
        }
    }
    for (int row = 0; row < grid->rowCount(); ++row) {
        // From one span's first cell to the next: every cell a span covers reports the span's width.
        for (int column = 0, span = 1; column < grid->columnCount(); column += span) {
            span = grid->columnSpan(row, column);
            const QTableWidgetItem *item = grid->item(row, column);
            if (span == 1 || !item)
                continue;
            const auto first = widths.begin() + column;
            const int lacking = textWidth(grid, item) - std::accumulate(first, first + span, 0);
            if (lacking > 0)
                *(first + span - 1) += lacking;
        }
    }
    return widths;
}

// The width the columns share: the grid's inside, less the row header and the vertical scroll
// bar that the rows will need.
int columnsRoom(const QTableWidget *grid)
{
    const QRect inside = grid->contentsRect();
    const QHeaderView *header = grid->horizontalHeader();
    const int rowsRoom = inside.height() - (header->isHidden() ? 0 : header->sizeHint().height());
    const Qt::ScrollBarPolicy policy = grid->verticalScrollBarPolicy();
    const bool scrolls = policy == Qt::ScrollBarAlwaysOn
            || (policy == Qt::ScrollBarAsNeeded && grid->verticalHeader()->length() > rowsRoom);
    int room = inside.width();
    if (!grid->verticalHeader()->isHidden())
        room -= grid->verticalHeader()->sizeHint().width();
    if (scrolls)
        room -= grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid->verticalScrollBar());
    return room;
}

int sum(const std::vector<int> &values)
{
    return std::accumulate(values.begin(), values.end(), 0);
}

} // namespace

void initGrid(QTableWidget *grid, int dataRows, std::initializer_list<GridColumn> columns)
{
    // A text too wide would otherwise break onto a second line that the row has no room for.
    grid->setWordWrap(false);
    grid->setTextElideMode(Qt::ElideNone);
    grid->horizontalHeader()->setTextElideMode(Qt::ElideNone);
    // Dropping the rows drops every cell text with them.
    grid->setRowCount(0);
    grid->clearSpans();
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

void setNotice(QTableWidget *grid, int row, int column, const QString &text)
{
    setCell(grid, row, column, text);
    grid->item(row, column)->setForeground(Qt::red);
    grid->setSpan(row, column, 1, grid->columnCount() - column);
}

void fitColumnsToText(QTableWidget *grid)
{
    // Back to the window's font, in case an earlier fit narrowed it.
    grid->setFont(QFont());
    std::vector<int> needed = neededWidths(grid);
    while (sum(needed) > columnsRoom(grid) && grid->font().pointSizeF() - 0.5 >= SmallestPointSize) {
        QFont narrower = grid->font();
        narrower.setPointSizeF(narrower.pointSizeF() - 0.5);
        grid->setFont(narrower);
        needed = neededWidths(grid);
    }

    // Each column keeps its width when it can; the room the narrow ones need comes from the
    // columns wider than their texts, in proportion to what each can spare.
    std::vector<int> widths, spare;
    for (int column = 0; column < grid->columnCount(); ++column) {
        widths.push_back(std::max(grid->columnWidth(column), needed[std::size_t(column)]));
        spare.push_back(widths.back() - needed[std::size_t(column)]);
    }
    int excess = std::min(sum(widths) - columnsRoom(grid), sum(spare));
    int spareLeft = sum(spare);
    for (std::size_t column = 0; column < widths.size() && excess > 0; ++column) {
        const int taken = int((qint64(excess) * spare[column] + spareLeft - 1) / spareLeft);
        widths[column] -= taken;
        excess -= taken;
        spareLeft -= spare[column];
    }
    for (std::size_t column = 0; column < widths.size(); ++column)
        grid->setColumnWidth(int(column), widths[column]);
}
