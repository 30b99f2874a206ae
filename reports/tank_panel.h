#pragma once

#include <QGroupBox>
#include <memory>

struct FillLevel;
class TankDrawing;

namespace Ui {
class TankPanel;
}

// One tank of the inventory window (`Frame1`(k), belonging to tank k + 1): its drawing and its
// percentage full, on a white background.
class TankPanel : public QGroupBox
{
    Q_OBJECT

public:
    // Depth of the drawn body: the full cover of an empty tank.
    static constexpr double BodyHeightTwips = 855;

    TankPanel(int index, QWidget *parent);
    ~TankPanel() override;

    void showReading(int tank, const FillLevel &level);

private:
    std::unique_ptr<Ui::TankPanel> ui;
    TankDrawing *m_drawing;
};
