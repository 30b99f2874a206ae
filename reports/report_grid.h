#pragma once

#include <QString>
#include <initializer_list>

class QTableWidget;

struct GridColumn
{
    const char *header;
    int widthTwips;
};

// Lays out a report grid: every cell emptied, the header row, the column widths, and the given
// number of data rows, all centred. Texts stay on one line and are never elided: a text wider
// than its column is cut.
void initGrid(QTableWidget *grid, int dataRows, std::initializer_list<GridColumn> columns);

// Adds centred empty rows until the grid has the given number of data rows.
void growGrid(QTableWidget *grid, int dataRows);

// Data rows count from 0, below the header.
void setCell(QTableWidget *grid, int row, int column, const QString &text);

// A text in red across the row, from the column to the last: what stands in for values.
void setNotice(QTableWidget *grid, int row, int column, const QString &text);

// Widens every column too narrow for its header or one of its texts, taking the room from columns
// wider than their texts, so that the grid shows every text whole without scrolling sideways
// (a vertical scroll bar included). When the texts cannot all fit at the window's font, the grid's
// font narrows in half points, down to 6 points.
void fitColumnsToText(QTableWidget *grid);
