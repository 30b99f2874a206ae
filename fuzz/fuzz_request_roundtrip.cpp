// Requests the console can send, built from the input: framed, then parsed the way the
// controller (and the simulator) reads them, they give back the upper-cased body and, for the
// clock setting, the stamp. The raw input is also parsed as a request frame.

#include "fuzz/byte_source.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/windows1252_upper.h"
#include "protocol/bcc.h"
#include "protocol/control_codes.h"
#include "protocol/frame.h"
#include "protocol/requests.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

using zelta::ClockStamp;

constexpr std::size_t LongestTyped = 40;

const Windows1252Upper upperCase;

bool isLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int daysInMonth(int month, int year)
{
    constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : Days[month - 1];
}

// A reading of the PC clock: a real date and time of some year of the Common Era.
ClockStamp nextStamp(ByteSource &source)
{
    ClockStamp stamp;
    stamp.weekday = source.inRange(1, 7);
    stamp.hour = source.inRange(0, 23);
    stamp.minute = source.inRange(0, 59);
    stamp.second = source.inRange(0, 59);
    stamp.year = source.inRange(1, 9999);
    stamp.month = source.inRange(1, 12);
    stamp.day = source.inRange(1, daysInMonth(stamp.month, stamp.year));
    return stamp;
}

// The tank selector's text, or none when no tank has been picked yet.
std::string nextTank(ByteSource &source)
{
    constexpr int Buttons = 16;
    const int index = source.byte() % (Buttons + 1);
    if (index == Buttons)
        return {};
    const std::string tank = zelta::tankNumberText(index);
    FUZZ_CHECK(tank.size() == 2 && (tank[0] - '0') * 10 + (tank[1] - '0') == index + 1);
    return tank;
}

// A date as typed in the date window: six characters, possibly with blanks around them.
std::string nextDate(ByteSource &source)
{
    const std::uint8_t blanks = source.byte();
    return std::string(blanks % 3, ' ') + source.typed(6) + std::string(blanks / 3 % 3, ' ');
}

void checkClockSetting(const std::string &argument, const std::string &password, const ClockStamp &sent)
{
    const std::optional<zelta::ClockSetting> setting = zelta::parseClockSetting(argument);
    FUZZ_CHECK(setting.has_value());
    FUZZ_CHECK(setting->password == upperCase(password));
    const ClockStamp &got = setting->stamp;
    FUZZ_CHECK(got.weekday == sent.weekday && got.hour == sent.hour && got.minute == sent.minute
               && got.second == sent.second && got.day == sent.day && got.month == sent.month
               && got.year == sent.year % 100);
}

// Any password the operator can type, of any length up to LongestTyped.
std::string nextPassword(ByteSource &source)
{
    return source.typed(source.byte() % LongestTyped);
}

void checkBuiltRequest(ByteSource &source)
{
    constexpr std::string_view Bare[] = {zelta::ReadClock, zelta::ReadSensors, zelta::MeasureAll,
                                         zelta::OpenDialogue, zelta::CloseDialogue};
    enum Built { MeasureTank, ReadMemory, Configuration, Scheduled, ClockSetting, BuiltCount };
    constexpr int BareCount = sizeof Bare / sizeof Bare[0];

    const int choice = source.byte() % (BareCount + BuiltCount);
    std::string body;
    std::string password;
    ClockStamp stamp;
    switch (choice - BareCount) {
    case MeasureTank: body = zelta::measureTankBody(nextTank(source)); break;
    case ReadMemory: body = zelta::readMemoryBody(nextTank(source)); break;
    case Configuration: body = zelta::configurationBody(nextPassword(source)); break;
    case Scheduled: body = zelta::scheduledBody(nextDate(source)); break;
    case ClockSetting:
        password = nextPassword(source);
        stamp = nextStamp(source);
        body = zelta::clockSettingBody(password, stamp);
        break;
    default: body = std::string(Bare[choice]); break;
    }

    const std::string frame = zelta::frameRequest(body);
    FUZZ_CHECK(frame.size() == body.size() + 3);
    const std::optional<zelta::Request> request = zelta::parseRequestFrame(frame);
    FUZZ_CHECK(request.has_value());
    FUZZ_CHECK(request->code.size() == 2);
    FUZZ_CHECK(request->code + request->argument == upperCase(body));
    if (choice - BareCount == ClockSetting)
        checkClockSetting(request->argument, password, stamp);
}

void checkRawFrame(std::string_view raw)
{
    const std::optional<zelta::Request> request = zelta::parseRequestFrame(raw);
    if (request) {
        // Accepted only when the input is exactly STX, code, argument, ETX and the check byte.
        std::string rebuilt(1, zelta::STX);
        rebuilt += request->code + request->argument + zelta::ETX;
        rebuilt += static_cast<char>(zelta::blockCheckCharacter(std::string_view(rebuilt).substr(1)));
        FUZZ_CHECK(request->code.size() == 2);
        FUZZ_CHECK(rebuilt == raw);
    }

    // Whatever the clock-setting parser accepts is a stamp the console could have sent.
    const std::optional<zelta::ClockSetting> setting = zelta::parseClockSetting(raw);
    if (setting)
        FUZZ_CHECK(zelta::clockSettingBody(setting->password, setting->stamp)
                   == "AR" + std::string(raw));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    ByteSource source(data, size);
    checkBuiltRequest(source);
    checkRawFrame(std::string_view(reinterpret_cast<const char *>(data), size));
    return 0;
}
