#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// What the controller said, one struct per reply family. Texts are the frame's own characters at
// their fixed positions (decoded from Windows-1252), blanks kept, so a window can show them as
// they came; the value functions below turn them into numbers and times for programs.

struct MeasurementReading {
    QString command;        // "MT", "LM" or "MA"
    QString tank;           // 4-6
    QString product;        // 7-17
    QString expansion;      // 18-23, thermal expansion coefficient
    QString density;        // 24-27, g/l
    QString capacity;       // 28-33
    QString measured;       // 34-39, volume or weight
    QString complementary;  // 40-45, volume or weight
    QString volume20;       // 46-51
    QString level;          // 52-57, mm or "S/Inf."
    QString time;           // 58-63, HHMMSS
    QString date;           // 64-69, DDMMAA
    bool byWeight = false;       // position 70 is "P": measured and complementary are kg
    bool lastOfReading = false;  // position 44 is CR: the complementary field's digits are cut
    bool checkByteMatches = true;
};

struct ClockReading {
    QString command;  // "LR" or "AR"
    QString time;     // HHMMSS
    QString date;     // DDMMAA
    QString day;      // two characters, as received
    bool checkByteMatches = true;
};

// Sensor states as the controller codes them.
enum class LeakSensorState { None = 0, Short = 1, Normal = 2, Leak = 3, Open = 4 };

struct SensorReading {
    QString states;  // one character per sensor, 32 at most: sensors 1-16 then 17-32
    bool bar1Active = false;
    bool bar2Active = false;
    int count = 0;   // sensors the controller declared in its configuration reply
    bool checkByteMatches = true;

    LeakSensorState state(int sensor) const;  // sensor counted from 1
};

struct ConfigurationReading {
    QString tanks;      // 4-5
    QString ofe;        // 6-11
    QString meterType;  // 12: "1" station, "2" industrial, "3" fleet
    QString sensors;    // 13-14
    bool checkByteMatches = true;
};

struct IdentificationReading {
    QString address;  // 4-6
    QString version;  // 7-8
    bool checkByteMatches = true;
};

struct ScheduledReading {
    QString time;    // 4-9, HHMMSS
    QString date;    // 10-15, DDMMAA
    QString volume;  // 16-21
    QString tank;    // 22-24
    bool moreFollow = false;  // position 25 is SOH
    bool checkByteMatches = true;
};

struct ErrorReply {
    QString command;  // the reply code, positions 2-3
    QString code;     // "TI", "NH", "SL", "OL", or another the controller sent
    QString text;     // the operator's text for the code; empty for an unknown code
    bool checkByteMatches = true;
};

// The operator's texts of the controller's error codes; empty for any other code.
QString errorReplyText(const QString &code);
// "em Curto", "Normal", "Vazamento", "Aberto"; empty for LeakSensorState::None.
QString sensorStateLabel(LeakSensorState state);
// "Posto", "Industrial", "Frotista"; empty for any other type.
QString meterTypeName(const QString &type);

// A field that is a complete number (blanks around it allowed, an optional sign, digits with at
// most one '.'), or nothing: "S/Inf.", an empty field and "12,5" are not numbers.
std::optional<double> completeNumber(const QString &field);
// The controller's DDMMAA and HHMMSS as local time, years as 20AA; nothing for an impossible date.
std::optional<QDateTime> controllerDateTime(const QString &date, const QString &time);
// The complementary volume, or nothing when its digits are cut by the end-of-reading CR.
std::optional<double> complementaryValue(const MeasurementReading &reading);
