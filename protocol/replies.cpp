#include "protocol/replies.h"

#include "protocol/control_codes.h"
#include "protocol/numeric_text.h"
#include "protocol/text_fields.h"

namespace zelta {

namespace {

bool charAt(std::string_view frame, std::size_t position, char expected)
{
    return position >= 1 && position <= frame.size() && frame[position - 1] == expected;
}

} // namespace

std::string replyCode(std::string_view frame)
{
    return field(frame, 2, 2);
}

bool isErrorReply(std::string_view frame)
{
    return charAt(frame, 4, 'E');
}

std::string errorCode(std::string_view frame)
{
    return field(frame, 5, 2);
}

MeasurementFields decodeMeasurement(std::string_view frame)
{
    MeasurementFields f;
    f.tank = field(frame, 4, 3);
    f.product = field(frame, 7, 11);
    f.expansion = field(frame, 18, 6);
    f.density = field(frame, 24, 4);
    f.capacity = field(frame, 28, 6);
    f.measured = field(frame, 34, 6);
    f.complementary = field(frame, 40, 6);
    f.volume20 = field(frame, 46, 6);
    f.level = field(frame, 52, 6);
    f.time = field(frame, 58, 6);
    f.date = field(frame, 64, 6);
    f.byWeight = charAt(frame, 70, 'P');
    f.lastOfReading = charAt(frame, 44, CR);
    return f;
}

ClockFields decodeClock(std::string_view frame)
{
    return {field(frame, 4, 6), field(frame, 10, 6), field(frame, 16, 2)};
}

SensorFields decodeSensors(std::string_view frame)
{
    SensorFields f;
    f.states = field(frame, 4, 16) + field(frame, 21, 16);
    f.bar1Active = charAt(frame, 20, 'A');
    f.bar2Active = charAt(frame, 37, 'A');
    return f;
}

int sensorState(const SensorFields &fields, int sensor)
{
    if (sensor < 1 || static_cast<std::size_t>(sensor) > fields.states.size())
        return 0;
    const double value = leadingNumber(fields.states.substr(static_cast<std::size_t>(sensor) - 1, 1));
    for (int state = 1; state <= 4; ++state) {
        if (value == state)
            return state;
    }
    return 0;
}

ConfigurationFields decodeConfiguration(std::string_view frame)
{
    return {field(frame, 4, 2), field(frame, 6, 6), field(frame, 12, 1), field(frame, 13, 2)};
}

IdentificationFields decodeIdentification(std::string_view frame)
{
    return {field(frame, 4, 3), field(frame, 7, 2)};
}

ScheduledFields decodeScheduled(std::string_view frame)
{
    ScheduledFields f;
    f.time = field(frame, 4, 6);
    f.date = field(frame, 10, 6);
    f.volume = field(frame, 16, 6);
    f.tank = field(frame, 22, 3);
    f.moreFollow = charAt(frame, 25, SOH);
    return f;
}

} // namespace zelta
