#include "book/book_pages.h"

#include "book/book_page_html.h"
#include "book/book_print.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextDocument>

#include <memory>
#include <vector>

namespace {

// The pages are laid out as on a screen and scaled to the device: the tables' borders and
// padding are in pixels, which at a printer's resolution would all but vanish.
constexpr double LayoutDpi = 96;
constexpr double FooterHeight = 24;  // layout pixels under each page's text

QImage layoutDevice()
{
    QImage image(1, 1, QImage::Format_RGB32);
    const int dotsPerMetre = qRound(LayoutDpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

// One product's text, and what its pages say at their foot: a product that runs onto another
// page still tells whose page it is.
struct ProductPages {
    std::unique_ptr<QTextDocument> document;
    QString foot;
};

std::vector<ProductPages> productPages(const BookPrintInput &input, QImage *layout, const QSizeF &pageSize)
{
    std::vector<ProductPages> pages;
    for (const ProductFigures &product : input.day.figures.products) {
        auto document = std::make_unique<QTextDocument>();
        document->documentLayout()->setPaintDevice(layout);
        document->setDocumentMargin(0);
        document->setPageSize(pageSize);
        document->setHtml(bookPageHtml(input, product));
        pages.push_back({std::move(document),
                         QStringLiteral("%1 · %2 · %3")
                             .arg(input.station, product.product,
                                  input.day.figures.date.toString(QStringLiteral("dd/MM/yyyy")))});
    }
    return pages;
}

void paintFoot(QPainter &painter, const QRectF &area, const QString &foot, const QString &pageNumber)
{
    QFont font = painter.font();
    font.setPixelSize(qRound(8 * LayoutDpi / 72));
    painter.setFont(font);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignBottom, foot);
    painter.drawText(area, Qt::AlignRight | Qt::AlignBottom, pageNumber);
}

} // namespace

bool paintBookPages(QPagedPaintDevice *device, const BookPrintInput &input)
{
    device->setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const double scale = device->logicalDpiX() / LayoutDpi;
    const QSizeF page(device->width() / scale, device->height() / scale);
    const QSizeF text(page.width(), page.height() - FooterHeight);
    QImage layout = layoutDevice();
    const std::vector<ProductPages> products = productPages(input, &layout, text);
    int total = 0;
    for (const ProductPages &product : products)
        total += product.document->pageCount();

    int number = 0;
    painter.scale(scale, scale);
    for (const ProductPages &product : products) {
        for (int inDocument = 0; inDocument < product.document->pageCount(); ++inDocument) {
            if (number > 0 && !device->newPage())
                return false;
            ++number;
            painter.save();
            painter.translate(0, -inDocument * text.height());
            product.document->drawContents(&painter, QRectF(QPointF(0, inDocument * text.height()), text));
            painter.restore();
            paintFoot(painter, QRectF(QPointF(), page), product.foot,
                      QStringLiteral("Página %1 de %2").arg(number).arg(total));
        }
    }
    return painter.end();
}
