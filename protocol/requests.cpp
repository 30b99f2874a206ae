#include "protocol/requests.h"

#include "protocol/bcc.h"
#include "protocol/control_codes.h"

namespace zelta {

namespace {

// The last two decimal digits, so every clock field keeps its fixed width whatever it holds.
std::string twoDigits(int value)
{
    const int lastTwo = (value % 100 + 100) % 100;
    return {static_cast<char>('0' + lastTwo / 10), static_cast<char>('0' + lastTwo % 10)};
}

std::string withCode(std::string_view code, std::string_view argument)
{
    std::string body(code);
    body += argument;
    return body;
}

bool allDigits(std::string_view text)
{
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int number(std::string_view digits)
{
    int value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

int daysInMonth(int month, int twoDigitYear)
{
    switch (month) {
    case 2: return twoDigitYear % 4 == 0 ? 29 : 28;
    case 4: case 6: case 9: case 11: return 30;
    default: return 31;
    }
}

} // namespace

std::string tankNumberText(int index)
{
    std::string text = std::to_string(static_cast<long long>(index) + 1);
    if (text.size() < 2)
        text.insert(0, 1, '0');
    return text;
}

std::string measureTankBody(std::string_view tank)
{
    return withCode("MT", tank);
}

std::string readMemoryBody(std::string_view tank)
{
    return withCode("LM", tank);
}

std::string configurationBody(std::string_view password)
{
    return withCode("CF", password);
}

std::string scheduledBody(std::string_view date)
{
    return withCode("MP", date);
}

std::string clockSettingBody(std::string_view password, const ClockStamp &now)
{
    std::string body = withCode("AR", password);
    body += twoDigits(now.weekday).substr(1);
    body += twoDigits(now.hour) + twoDigits(now.minute) + twoDigits(now.second);
    body += twoDigits(now.day) + twoDigits(now.month) + twoDigits(now.year);
    return body;
}

std::optional<Request> parseRequestFrame(std::string_view frame)
{
    // STX, a body of at least the two-letter code, ETX, check byte.
    if (frame.size() < 5 || frame.front() != STX || frame[frame.size() - 2] != ETX)
        return std::nullopt;
    const std::string_view checked = frame.substr(1, frame.size() - 2);
    if (blockCheckCharacter(checked) != static_cast<unsigned char>(frame.back()))
        return std::nullopt;
    const std::string_view body = checked.substr(0, checked.size() - 1);
    return Request{std::string(body.substr(0, 2)), std::string(body.substr(2))};
}

std::optional<ClockSetting> parseClockSetting(std::string_view argument)
{
    constexpr std::size_t StampLength = 13;
    if (argument.size() < StampLength)
        return std::nullopt;
    const std::string_view stamp = argument.substr(argument.size() - StampLength);
    if (!allDigits(stamp))
        return std::nullopt;

    ClockSetting setting;
    setting.password = std::string(argument.substr(0, argument.size() - StampLength));
    ClockStamp &s = setting.stamp;
    s.weekday = number(stamp.substr(0, 1));
    s.hour = number(stamp.substr(1, 2));
    s.minute = number(stamp.substr(3, 2));
    s.second = number(stamp.substr(5, 2));
    s.day = number(stamp.substr(7, 2));
    s.month = number(stamp.substr(9, 2));
    s.year = number(stamp.substr(11, 2));

    const bool valid = s.weekday >= 1 && s.weekday <= 7 && s.hour <= 23 && s.minute <= 59
                       && s.second <= 59 && s.month >= 1 && s.month <= 12 && s.day >= 1
                       && s.day <= daysInMonth(s.month, s.year);
    if (!valid)
        return std::nullopt;
    return setting;
}

} // namespace zelta
