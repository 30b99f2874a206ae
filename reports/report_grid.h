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
// number of data rows, all centred.
void initGrid(QTableWidget *grid, int dataRows, std::initializer_list<GridColumn> columns);

// Adds centred empty rows until the grid has the given number of data rows.
void growGrid(QTableWidget *grid, int dataRows);

// Data rows count from 0, below the header.
void setCell(QTableWidget *grid, int row, int column, const QString &text);
