#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelta {

// Request bodies, before framing. The link upper-cases and frames them.
inline constexpr std::string_view ReadClock = "LR";
inline constexpr std::string_view ReadSensors = "LS";
inline constexpr std::string_view MeasureAll = "MA";
inline constexpr std::string_view OpenDialogue = "ID01";
inline constexpr std::string_view CloseDialogue = "ID02";

// The PC clock as the clock-setting request carries it.
struct ClockStamp {
    int weekday = 1;  // 1 = Sunday ... 7 = Saturday
    int hour = 0, minute = 0, second = 0;
    int day = 1, month = 1, year = 0;  // year: any; only its last two digits are sent
};

// "01" ... "16" for the tank selector's button index 0 ... 15.
std::string tankNumberText(int index);

std::string measureTankBody(std::string_view tank);     // "MT" + tank (bare "MT" when empty)
std::string readMemoryBody(std::string_view tank);      // "LM" + tank
std::string configurationBody(std::string_view password); // "CF" + password
std::string scheduledBody(std::string_view date);        // "MP" + date, as typed
std::string clockSettingBody(std::string_view password, const ClockStamp &now); // "AR"+pw+W+HHMMSS+DDMMAA

// The controller's view of a request: the body of a frame, split into its code and the rest.
struct Request {
    std::string code;      // two letters
    std::string argument;  // whatever follows the code
};

// Parses a whole request frame (STX body ETX BCC). Nothing when it is not one.
std::optional<Request> parseRequestFrame(std::string_view frame);

struct ClockSetting {
    std::string password;
    ClockStamp stamp;  // year holds the two digits sent (0-99)
};
// The argument of an "AR" request: password, then W + HHMMSS + DDMMAA (13 characters).
std::optional<ClockSetting> parseClockSetting(std::string_view argument);

} // namespace zelta
