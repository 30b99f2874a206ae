#pragma once

#include <string>
#include <string_view>

namespace zelta {

// Reply frames are read at fixed positions over the whole stored frame (reply_layouts.h): position
// 1 is STX, positions 2-3 the reply code, the body from position 4. Fields are taken as they
// stand; the session checks a frame's length, tank and clock before any of it is read as a value.

std::string replyCode(std::string_view frame);   // positions 2-3
bool isErrorReply(std::string_view frame);       // position 4 is 'E'
std::string errorCode(std::string_view frame);   // positions 5-6

// "MT", "LM" and "MA" replies.
struct MeasurementFields {
    std::string tank;               // 4-6
    std::string product;            // 7-17
    std::string expansion;          // 18-23, thermal expansion coefficient
    std::string density;            // 24-27
    std::string capacity;           // 28-33
    std::string measured;           // 34-39, volume or weight
    std::string complementary;      // 40-45, volume or weight
    std::string volume20;           // 46-51
    std::string level;              // 52-57, mm or "S/Inf."
    std::string time;               // 58-63, HHMMSS
    std::string date;               // 64-69, DDMMAA
    bool byWeight = false;          // position 70 is 'P'
    bool lastOfReading = false;     // position 44 is CR
};
MeasurementFields decodeMeasurement(std::string_view frame);

// "LR" and "AR" replies.
struct ClockFields {
    std::string time;  // 4-9, HHMMSS
    std::string date;  // 10-15, DDMMAA
    std::string day;   // 16-17
};
ClockFields decodeClock(std::string_view frame);

// "LS" replies.
struct SensorFields {
    std::string states;      // 32 characters at most: positions 4-19 then 21-36
    bool bar1Active = false; // position 20 is 'A'
    bool bar2Active = false; // position 37 is 'A'
};
SensorFields decodeSensors(std::string_view frame);
// The state number (1 "em Curto", 2 "Normal", 3 "Vazamento", 4 "Aberto") of sensor i (1-based),
// or 0 when its character is not one of them or is missing.
int sensorState(const SensorFields &fields, int sensor);

// "CF" replies.
struct ConfigurationFields {
    std::string tanks;      // 4-5
    std::string ofe;        // 6-11
    std::string meterType;  // 12: "1" station, "2" industrial, "3" fleet
    std::string sensors;    // 13-14
};
ConfigurationFields decodeConfiguration(std::string_view frame);

// "ID" replies.
struct IdentificationFields {
    std::string address;  // 4-6
    std::string version;  // 7-8
};
IdentificationFields decodeIdentification(std::string_view frame);

// "MP" replies: one scheduled measurement.
struct ScheduledFields {
    std::string time;    // 4-9, HHMMSS
    std::string date;    // 10-15, DDMMAA
    std::string volume;  // 16-21
    std::string tank;    // 22-24
    bool moreFollow = false;  // position 25 is SOH
};
ScheduledFields decodeScheduled(std::string_view frame);

} // namespace zelta
