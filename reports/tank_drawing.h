#pragma once

#include <QRect>
#include <QWidget>

// Where the parts of a drawn tank stand, in twips within the drawing's parent.
struct TankShapes
{
    QRect Shape1; // the body; `Altura_Liquido` covers it from its top edge down
    QRect Shape2; // the two fittings on top of the body
    QRect Shape3;
};

// A tank drawn as its light-orange body, the cover hiding the empty part and two fittings.
// The widget occupies the bounding box of the shapes in its parent.
class TankDrawing : public QWidget
{
    Q_OBJECT

public:
    TankDrawing(const TankShapes &twips, QWidget *parent);

    // Height of `Altura_Liquido` in twips, 0 up to the body's height. The drawing starts empty.
    double alturaLiquido() const { return m_cover; }
    void setAlturaLiquido(double twips);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TankShapes m_shapes;
    QRect m_bounds;
    double m_cover;
};
