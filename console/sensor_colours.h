#pragma once

#include <QColor>
#include <QWidget>

// Leak-sensor labels: green for a sensor in its normal state, red for any alarm.
inline const QColor SensorNormal(192, 255, 192);
inline const QColor SensorAlarm(255, 128, 128);

// Palettes rather than style sheets: the console paints its first window faster without them.
inline void setBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}
