#include "widgets/scrolled_window.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

QScrollArea *showScrolled(QWidget *window, QWidget *content)
{
    auto *area = new QScrollArea(window);
    area->setObjectName(QStringLiteral("Rolagem"));
    area->setFrameShape(QFrame::NoFrame);
    // Tab goes from control to control; the area scrolls to show the one that takes the focus.
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidget(content);
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);

    // Room for a bar across the content, so that a bar in one direction does not bring the other.
    const int bar = area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area);
    window->setMaximumSize(content->size() + QSize(bar, bar));
    QSize size = content->size();
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QSize available = screen->availableGeometry().size();
        if (size.width() > available.width())
            size.rheight() += bar;
        if (size.height() > available.height())
            size.rwidth() += bar;
        size = size.boundedTo(available);
    }
    window->resize(size);
    return area;
}
