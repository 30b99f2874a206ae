#pragma once

#include <QDateTime>

// The controller's own clock: it starts from the PC clock and keeps running from wherever it
// was last set, like a battery-backed clock would.
class ControllerClock {
public:
    QDateTime now() const;
    void set(const QDateTime &time);
    // Puts the clock this far ahead of the PC's (behind when negative).
    void setMinutesAhead(int minutes);

private:
    qint64 offsetMs_ = 0;
};
