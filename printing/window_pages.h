#pragma once

class QPagedPaintDevice;
class QWidget;

// Paints the window as it shows, scaled to fit the first page, then the rows of its grids that
// are out of sight, on pages of their own at the same scale, each under the caption of its grid
// (its box's title, or the window's) and its column headers. Texts stay texts on the page.
bool paintWindowPages(QPagedPaintDevice *device, QWidget *window);
