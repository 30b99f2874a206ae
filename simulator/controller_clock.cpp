#include "simulator/controller_clock.h"

QDateTime ControllerClock::now() const
{
    return QDateTime::currentDateTime().addMSecs(offsetMs_);
}

void ControllerClock::set(const QDateTime &time)
{
    offsetMs_ = QDateTime::currentDateTime().msecsTo(time);
}

void ControllerClock::setMinutesAhead(int minutes)
{
    offsetMs_ = qint64(minutes) * 60 * 1000;
}
