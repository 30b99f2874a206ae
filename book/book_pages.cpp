#include "book/book_pages.h"

#include "book/book_page_html.h"
#include "book/book_print.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextDocument>

namespace {

// The pages are laid out as on a screen and scaled to the device: the tables' borders and
// padding are in pixels, which at a printer's resolution would all but vanish.
constexpr double LayoutDpi = 96;

QImage layoutDevice()
{
    QImage image(1, 1, QImage::Format_RGB32);
    const int dotsPerMetre = qRound(LayoutDpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

// One product's document on as many pages as it takes, starting on the painter's current one.
bool paintDocument(QPagedPaintDevice *device, QPainter &painter, QTextDocument &document, double scale)
{
    const double pageHeight = document.pageSize().height();
    for (int page = 0; page < document.pageCount(); ++page) {
        if (page > 0 && !device->newPage())
            return false;
        painter.save();
        painter.scale(scale, scale);
        painter.translate(0, -page * pageHeight);
        document.drawContents(&painter, QRectF(0, page * pageHeight, document.pageSize().width(), pageHeight));
        painter.restore();
    }
    return true;
}

} // namespace

bool paintBookPages(QPagedPaintDevice *device, const BookPrintInput &input)
{
    device->setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(device))
        return false;
    QImage layout = layoutDevice();
    const double scale = device->logicalDpiX() / LayoutDpi;
    bool first = true;
    for (const ProductFigures &product : input.day.figures.products) {
        if (!first && !device->newPage())
            return false;
        first = false;
        QTextDocument document;
        document.documentLayout()->setPaintDevice(&layout);
        document.setDocumentMargin(0);
        document.setPageSize(QSizeF(device->width() / scale, device->height() / scale));
        document.setHtml(bookPageHtml(input, product));
        if (!paintDocument(device, painter, document, scale))
            return false;
    }
    return painter.end();
}
