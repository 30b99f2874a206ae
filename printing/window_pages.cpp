#include "printing/window_pages.h"

#include "printing/grid_excerpt.h"

#include <QGroupBox>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTableWidget>

#include <algorithm>
#include <vector>

namespace {

QString captionOf(const QTableWidget *grid, const QWidget *window)
{
    for (const QWidget *w = grid->parentWidget(); w && w != window; w = w->parentWidget()) {
        const auto *box = qobject_cast<const QGroupBox *>(w);
        if (box && !box->title().isEmpty())
            return box->title();
    }
    return window->windowTitle();
}

// The rows split into excerpts, each no taller than the page.
std::vector<std::unique_ptr<QWidget>> excerptsByPage(const QTableWidget *grid, const QList<int> &rows,
                                                     const QString &caption, int pageHeight)
{
    const int besidesRows = gridExcerpt(grid, {}, caption)->height();
    std::vector<std::unique_ptr<QWidget>> pages;
    QList<int> page;
    int height = besidesRows;
    for (int row : rows) {
        if (!page.isEmpty() && height + grid->rowHeight(row) > pageHeight) {
            pages.push_back(gridExcerpt(grid, page, caption));
            page.clear();
            height = besidesRows;
        }
        page << row;
        height += grid->rowHeight(row);
    }
    if (!page.isEmpty())
        pages.push_back(gridExcerpt(grid, page, caption));
    return pages;
}

// Widgets paint with their own fonts and resolution; the painter only scales them to the page.
void paintScaled(QPainter &painter, QWidget *widget, double scale, const QRegion &region = QRegion())
{
    painter.save();
    painter.scale(scale, scale);
    widget->render(&painter, QPoint(), region, QWidget::DrawChildren);
    painter.restore();
}

// All of the window but the rows its grids show in part, which follow whole on a later page.
QRegion printedRegion(const QWidget *window)
{
    QRegion region(window->rect());
    for (const QTableView *grid : window->findChildren<QTableView *>()) {
        if (grid->isVisibleTo(window))
            region -= partlyShownRows(grid, window);
    }
    return region;
}

} // namespace

bool paintWindowPages(QPagedPaintDevice *device, QWidget *window)
{
    device->setPageOrientation(window->width() > window->height() ? QPageLayout::Landscape
                                                                  : QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const QRect area = painter.viewport();
    painter.translate(area.topLeft());
    const double scale = std::min(double(area.width()) / window->width(), double(area.height()) / window->height());
    paintScaled(painter, window, scale, printedRegion(window));

    const int pageHeight = int(area.height() / scale);
    for (const QTableWidget *grid : window->findChildren<QTableWidget *>()) {
        if (!grid->isVisibleTo(window))
            continue;
        const QList<int> rows = rowsOutOfSight(grid);
        if (rows.isEmpty())
            continue;
        const QString caption = captionOf(grid, window) + QStringLiteral(" (continuação)");
        for (const std::unique_ptr<QWidget> &page : excerptsByPage(grid, rows, caption, pageHeight)) {
            if (!device->newPage()) {
                painter.end();
                return false;
            }
            paintScaled(painter, page.get(), std::min(scale, double(area.width()) / page->width()));
        }
    }
    return painter.end();
}
