#pragma once

#include <QDateTime>
#include <QString>

// Who a row belongs to. The store matches a station by its OFE number once the controller's
// configuration reply has given it (unless another host still uses that number: then the
// station is kept apart), otherwise by host, and updates the stored description and host when
// they change, so the history follows the controller rather than its label.
struct StationIdentity {
    QString description;  // from the station list; empty keeps the stored one (a new station: the host)
    QString host;         // the address dialled; empty keeps the stored one
    QString ofe;          // from the configuration reply ("CF"); empty until it came
    QString timeZone;     // IANA name; empty keeps the stored zone, or the PC's for a new station
};

// What asked for a reading: the console window, comzelta-cli, or a scheduled poll.
enum class Origin { Console, Cli, Poll };

// Events the history keeps beside the readings.
enum class EventKind {
    ConnectionOpened,
    ConnectionLost,
    ErrorReply,       // the controller answered with an error code
    BadCheckByte,     // a reply whose check byte did not match: shown, never kept as a reading
    UnusableReading,  // a reading without a tank number, which no row can hold
    ReadingsDropped,  // the store had to drop queued work while it could not write
    PollFailed,       // one poll of a station failed after its retries
    OfeConflict,      // a controller gave an OFE number another host still uses: kept as a station apart
};

// An alarm raised or cleared, or a delivery found, by the rules at write time; or a station kept
// apart by the store ("ofe_conflict").
struct AlarmNotice {
    QString stationDescription;
    QString host;
    QString alarm;       // "low_level", "high_level", "leak", "sensor_fault", "bar_inactive",
                         // "communication", "clock", "delivery", or "ofe_conflict"
    int subject = 0;     // tank or sensor (or bar) number; 0 for the station itself
    bool raised = true;  // false: cleared (a delivery is always "raised")
    QString detail;      // Portuguese text, exactly as stored in event.detail
    QDateTime at;        // UTC
};

// The texts stored in the "origin" and "kind" columns.
QString originText(Origin origin);
QString eventKindText(EventKind kind);
