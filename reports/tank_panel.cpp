#include "reports/tank_panel.h"

#include "tables/fill_level.h"
#include "reports/tank_drawing.h"
#include "reports/twips.h"
#include "ui_tank_panel.h"

namespace {

const TankShapes PanelTank{QRect(120, 360, 1455, int(TankPanel::BodyHeightTwips)),
                           QRect(360, 240, 375, 135), QRect(1200, 240, 135, 135)};

} // namespace

TankPanel::TankPanel(int index, QWidget *parent)
    : QGroupBox(parent)
    , ui(std::make_unique<Ui::TankPanel>())
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("Frame1_%1").arg(index));
    // Four rows of four panels below the grids.
    move(twipsToPixels(2520 * (index % 4)), twipsToPixels(4560 + 1320 * (index / 4)));

    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    m_drawing = new TankDrawing(PanelTank, this);
}

TankPanel::~TankPanel() = default;

void TankPanel::showReading(int tank, const FillLevel &level)
{
    ui->Percentual->setText(level.percentText);
    m_drawing->setAlturaLiquido(level.coverTwips);
    setTitle(QStringLiteral("Tanque No. ") + QString::number(tank));
    show();
}
