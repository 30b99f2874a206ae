#pragma once

#include <QDateTime>

// The controller's own clock: it starts from the PC clock and keeps running from wherever it
// was last set, like a battery-backed clock would.
class ControllerClock {
public:
    QDateTime now() const;
    void set(const QDateTime &time);

private:
    qint64 offsetMs_ = 0;
};
