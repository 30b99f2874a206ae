#include "reports/tank_drawing.h"

#include "reports/twips.h"

#include <QPainter>

TankDrawing::TankDrawing(const TankShapes &twips, QWidget *parent)
    : QWidget(parent)
    , m_shapes(twips)
    , m_bounds(twips.Shape1.united(twips.Shape2).united(twips.Shape3))
    , m_cover(twips.Shape1.height())
{
    // One pixel more each way, so the outline of the right and bottom edges is not cut off.
    setGeometry(twipsToPixels(m_bounds.left()), twipsToPixels(m_bounds.top()),
                twipsToPixels(m_bounds.width()) + 1, twipsToPixels(m_bounds.height()) + 1);
}

void TankDrawing::setAlturaLiquido(double twips)
{
    m_cover = twips;
    update();
}

void TankDrawing::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.scale(1.0 / TwipsPerPixel, 1.0 / TwipsPerPixel);
    painter.translate(-m_bounds.topLeft());
    painter.setPen(QPen(Qt::black, 0));

    const QColor coverColour = palette().color(QPalette::Button);
    const QRectF body(m_shapes.Shape1);
    painter.setBrush(QColor(255, 224, 192));
    painter.drawRect(body);
    painter.setBrush(coverColour);
    painter.drawRect(QRectF(body.left(), body.top(), body.width(), m_cover));
    painter.drawRect(m_shapes.Shape2);
    painter.drawRect(m_shapes.Shape3);
}
