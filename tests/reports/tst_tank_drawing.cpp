#include "reports/tank_drawing.h"

#include <QImage>
#include <QTest>

namespace {

const QColor BodyColour(255, 224, 192);

} // namespace

class TankDrawingTest : public QObject
{
    Q_OBJECT

private slots:
    void cover_data()
    {
        QTest::addColumn<QRect>("body");
        QTest::addColumn<QRect>("leftFitting");
        QTest::addColumn<QRect>("rightFitting");
        QTest::addColumn<double>("cover");

        const QRect panelBody(120, 360, 1455, 855), panelLeft(360, 240, 375, 135),
                panelRight(1200, 240, 135, 135);
        const QRect consoleBody(360, 3600, 2535, 1335), consoleLeft(840, 3480, 495, 165),
                consoleRight(2280, 3480, 135, 165);
        QTest::newRow("inventory panel, full") << panelBody << panelLeft << panelRight << 0.0;
        QTest::newRow("inventory panel, three quarters") << panelBody << panelLeft << panelRight << 213.75;
        QTest::newRow("inventory panel, half") << panelBody << panelLeft << panelRight << 427.5;
        QTest::newRow("inventory panel, empty") << panelBody << panelLeft << panelRight << 855.0;
        QTest::newRow("measurement panel, three quarters")
                << consoleBody << consoleLeft << consoleRight << 333.75;
        QTest::newRow("measurement panel, two thirds")
                << consoleBody << consoleLeft << consoleRight << 444.9555;
    }

    // The product shows below the cover: the light-orange part of the body starts where the cover
    // ends and reaches the bottom of the body.
    void cover()
    {
        QFETCH(QRect, body);
        QFETCH(QRect, leftFitting);
        QFETCH(QRect, rightFitting);
        QFETCH(double, cover);

        QWidget parent;
        parent.resize(400, 400);
        TankDrawing drawing({body, leftFitting, rightFitting}, &parent);
        QCOMPARE(drawing.alturaLiquido(), double(body.height()));
        drawing.setAlturaLiquido(cover);
        QCOMPARE(drawing.alturaLiquido(), cover);

        const QRect bounds = body.united(leftFitting).united(rightFitting);
        // One pixel beyond the shapes each way holds the right and bottom outline.
        QCOMPARE(drawing.geometry(), QRect(bounds.left() / 15, bounds.top() / 15,
                                           bounds.width() / 15 + 1, bounds.height() / 15 + 1));

        const QImage image = drawing.grab().toImage();
        const QPoint bodyBottomRight((body.right() + 1 - bounds.left()) / 15, (body.bottom() + 1 - bounds.top()) / 15);
        QCOMPARE(image.pixelColor(bodyBottomRight), QColor(Qt::black));
        const int column = (body.center().x() - bounds.left()) / 15;
        QList<int> orangeRows;
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixelColor(column, y) == BodyColour)
                orangeRows << y;
        }
        const double bodyTop = (body.top() - bounds.top()) / 15.0;
        const double bodyBottom = bodyTop + body.height() / 15.0;
        if (cover >= body.height()) {
            QVERIFY2(orangeRows.size() <= 1, "an empty tank shows no product");
            return;
        }
        QVERIFY(!orangeRows.isEmpty());
        QVERIFY2(qAbs(orangeRows.first() - (bodyTop + cover / 15.0)) <= 1.5, "product starts below the cover");
        QVERIFY2(qAbs(orangeRows.last() - bodyBottom) <= 2.0, "product reaches the bottom");
        QCOMPARE(orangeRows.size(), orangeRows.last() - orangeRows.first() + 1);
    }
};

QTEST_MAIN(TankDrawingTest)
#include "tst_tank_drawing.moc"
