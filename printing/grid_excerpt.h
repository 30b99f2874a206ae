#pragma once

#include <QList>
#include <memory>

class QRegion;
class QString;
class QTableView;
class QTableWidget;
class QWidget;

// The rows of a grid that do not show whole in it, scrolled out of sight or cut at its edge,
// less the empty rows after the last text.
QList<int> rowsOutOfSight(const QTableWidget *grid);

// Where, in the window, the grid shows rows only in part, cut at its edge, row numbers included.
// A page does not cut them off as the screen does: painted there, they would spill over the grid's
// frame.
QRegion partlyShownRows(const QTableView *grid, const QWidget *window);

// A widget of its own, never shown, holding the given rows of the grid as the grid lays them out
// (font, header, column widths, row heights, texts with their alignment and colours, texts across
// columns) in a box with the given caption, sized to show every one of them.
std::unique_ptr<QWidget> gridExcerpt(const QTableWidget *grid, const QList<int> &rows, const QString &caption);
