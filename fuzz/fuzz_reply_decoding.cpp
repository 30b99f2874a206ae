// Any received frame through every reply decoder, and the numbers read from its fields through
// the leading-number rule, the rounding and the percentage pattern the panels use.

#include "fuzz/byte_source.h"
#include "fuzz/fuzz_check.h"
#include "protocol/control_codes.h"
#include "protocol/numeric_text.h"
#include "protocol/replies.h"
#include "protocol/text_fields.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace {

// The field at a position counted from 1, as fixed-position reading defines it: the bytes that
// are there, cut short by the end of the frame.
void checkField(std::string_view frame, std::size_t position, std::size_t width,
                const std::string &value)
{
    if (position == 0 || position > frame.size()) {
        FUZZ_CHECK(value.empty());
        return;
    }
    FUZZ_CHECK(value.size() == std::min(width, frame.size() - (position - 1)));
    FUZZ_CHECK(frame.compare(position - 1, value.size(), value) == 0);
}

bool hasAt(std::string_view frame, std::size_t position, char expected)
{
    return position <= frame.size() && frame[position - 1] == expected;
}

std::string withoutBlanks(std::string_view text)
{
    std::string kept;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n')
            kept += c;
    }
    return kept;
}

void checkRounding(double value)
{
    const int rounded = zelta::roundHalfEven(value);
    if (std::isnan(value)) {
        FUZZ_CHECK(rounded == 0);
    } else if (value >= static_cast<double>(INT_MAX)) {
        FUZZ_CHECK(rounded == INT_MAX);
    } else if (value <= static_cast<double>(INT_MIN)) {
        FUZZ_CHECK(rounded == INT_MIN);
    } else {
        const double distance = std::fabs(static_cast<double>(rounded) - value);
        FUZZ_CHECK(distance <= 0.5);
        FUZZ_CHECK(distance < 0.5 || rounded % 2 == 0);
    }
}

// "##0.##": an optional minus, at least one digit, the separator, at most two decimals without a
// trailing zero.
bool hasPatternShape(const std::string &text, char separator)
{
    const std::size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    const std::size_t mark = text.find(separator, start);
    if (mark == std::string::npos || mark == start)
        return false;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const std::string_view integer(text.data() + start, mark - start);
    const std::string_view decimals(text.data() + mark + 1, text.size() - mark - 1);
    return std::all_of(integer.begin(), integer.end(), isDigit)
           && std::all_of(decimals.begin(), decimals.end(), isDigit) && decimals.size() <= 2
           && (decimals.empty() || decimals.back() != '0');
}

void checkPattern(double value)
{
    const std::string point = zelta::formatPercentPattern(value, '.');
    const std::string comma = zelta::formatPercentPattern(value, ',');
    if (!std::isfinite(value)) {
        FUZZ_CHECK(point.empty() && comma.empty());
        return;
    }
    FUZZ_CHECK(hasPatternShape(point, '.'));
    FUZZ_CHECK(hasPatternShape(comma, ','));

    constexpr double Range = 1e6;
    if (std::fabs(value) > Range)
        return;
    // Half a hundredth, plus the error of the double itself at this magnitude.
    constexpr double Tolerance = 0.005 + 1e-9;
    const double readBack = zelta::leadingNumber(point);
    FUZZ_CHECK(std::fabs(readBack - value) <= Tolerance);
    // With a decimal comma the number ends at the separator: only the integer part reads back.
    FUZZ_CHECK(zelta::leadingNumber(comma) == std::trunc(readBack));
}

void checkNumber(std::string_view text)
{
    const double value = zelta::leadingNumber(text);
    FUZZ_CHECK(!std::isnan(value));
    // A comma ends the number; blanks count nowhere.
    FUZZ_CHECK(zelta::leadingNumber(std::string(text) + ",9") == value);
    FUZZ_CHECK(zelta::leadingNumber(withoutBlanks(text)) == value);
    checkRounding(value);
    checkPattern(value);
}

void checkSplit(std::string_view sixChars)
{
    const auto pair = [sixChars](std::size_t from) {
        return std::string(from < sixChars.size() ? sixChars.substr(from, 2) : std::string_view());
    };
    FUZZ_CHECK(zelta::splitDate(sixChars) == pair(0) + '/' + pair(2) + '/' + pair(4));
    FUZZ_CHECK(zelta::splitTime(sixChars) == pair(0) + ':' + pair(2) + ':' + pair(4));
}

void checkMeasurement(std::string_view frame)
{
    const zelta::MeasurementFields m = zelta::decodeMeasurement(frame);
    checkField(frame, 4, 3, m.tank);
    checkField(frame, 7, 11, m.product);
    checkField(frame, 18, 6, m.expansion);
    checkField(frame, 24, 4, m.density);
    checkField(frame, 28, 6, m.capacity);
    checkField(frame, 34, 6, m.measured);
    checkField(frame, 40, 6, m.complementary);
    checkField(frame, 46, 6, m.volume20);
    checkField(frame, 52, 6, m.level);
    checkField(frame, 58, 6, m.time);
    checkField(frame, 64, 6, m.date);
    FUZZ_CHECK(m.byWeight == hasAt(frame, 70, 'P'));
    FUZZ_CHECK(m.lastOfReading == hasAt(frame, 44, zelta::CR));

    for (const std::string *number : {&m.tank, &m.expansion, &m.density, &m.capacity, &m.measured,
                                      &m.complementary, &m.volume20, &m.level})
        checkNumber(*number);
    checkSplit(m.time);
    checkSplit(m.date);

    const double measured = zelta::leadingNumber(m.measured);
    const double complementary = zelta::leadingNumber(m.complementary);
    checkPattern(measured * 100 / (measured + complementary));
}

void checkSensors(std::string_view frame)
{
    const zelta::SensorFields s = zelta::decodeSensors(frame);
    FUZZ_CHECK(s.states.size() <= 32);
    FUZZ_CHECK(s.bar1Active == hasAt(frame, 20, 'A'));
    FUZZ_CHECK(s.bar2Active == hasAt(frame, 37, 'A'));
    for (int sensor = 0; sensor <= 33; ++sensor) {
        const int state = zelta::sensorState(s, sensor);
        const bool present = sensor >= 1 && static_cast<std::size_t>(sensor) <= s.states.size();
        const char c = present ? s.states[static_cast<std::size_t>(sensor) - 1] : '\0';
        FUZZ_CHECK(state == (c >= '1' && c <= '4' ? c - '0' : 0));
    }
}

void checkOtherReplies(std::string_view frame)
{
    checkField(frame, 2, 2, zelta::replyCode(frame));
    checkField(frame, 5, 2, zelta::errorCode(frame));
    FUZZ_CHECK(zelta::isErrorReply(frame) == hasAt(frame, 4, 'E'));

    const zelta::ClockFields clock = zelta::decodeClock(frame);
    checkField(frame, 4, 6, clock.time);
    checkField(frame, 10, 6, clock.date);
    checkField(frame, 16, 2, clock.day);
    checkSplit(clock.time);
    checkSplit(clock.date);

    const zelta::ConfigurationFields configuration = zelta::decodeConfiguration(frame);
    checkField(frame, 4, 2, configuration.tanks);
    checkField(frame, 6, 6, configuration.ofe);
    checkField(frame, 12, 1, configuration.meterType);
    checkField(frame, 13, 2, configuration.sensors);
    checkNumber(configuration.tanks);
    checkNumber(configuration.sensors);

    const zelta::IdentificationFields identification = zelta::decodeIdentification(frame);
    checkField(frame, 4, 3, identification.address);
    checkField(frame, 7, 2, identification.version);

    const zelta::ScheduledFields scheduled = zelta::decodeScheduled(frame);
    checkField(frame, 4, 6, scheduled.time);
    checkField(frame, 10, 6, scheduled.date);
    checkField(frame, 16, 6, scheduled.volume);
    checkField(frame, 22, 3, scheduled.tank);
    FUZZ_CHECK(scheduled.moreFollow == hasAt(frame, 25, zelta::SOH));
    checkNumber(scheduled.volume);
    checkNumber(scheduled.tank);
}

// Positions and widths of any size, taken from the frame's own first bytes: within the frame,
// just past its end, and far beyond.
void checkArbitraryFields(const std::uint8_t *data, std::size_t size, std::string_view frame)
{
    ByteSource source(data, size);
    const std::size_t position = source.word() % (frame.size() + 3);
    const std::size_t width = source.word();
    constexpr std::size_t Far = std::numeric_limits<std::size_t>::max();
    checkField(frame, position, width, zelta::field(frame, position, width));
    checkField(frame, position, Far, zelta::field(frame, position, Far));
    checkField(frame, Far, width, zelta::field(frame, Far, width));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view frame(reinterpret_cast<const char *>(data), size);
    checkMeasurement(frame);
    checkSensors(frame);
    checkOtherReplies(frame);
    checkArbitraryFields(data, size, frame);
    checkNumber(frame);
    checkSplit(frame);
    return 0;
}
