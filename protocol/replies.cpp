#include "protocol/replies.h"

#include "protocol/control_codes.h"
#include "protocol/numeric_text.h"
#include "protocol/reply_layouts.h"
#include "protocol/text_fields.h"

namespace zelta {

namespace {

bool charAt(std::string_view frame, ReplyField at, char expected)
{
    return at.position >= 1 && at.position <= frame.size() && frame[at.position - 1] == expected;
}

std::string field(std::string_view frame, ReplyField at)
{
    return zelta::field(frame, at.position, at.width);
}

} // namespace

std::string replyCode(std::string_view frame)
{
    return field(frame, 2, 2);
}

bool isErrorReply(std::string_view frame)
{
    return charAt(frame, fields::ErrorMark, 'E');
}

std::string errorCode(std::string_view frame)
{
    return field(frame, fields::ErrorCode);
}

MeasurementFields decodeMeasurement(std::string_view frame)
{
    MeasurementFields f;
    f.tank = field(frame, fields::Tank);
    f.product = field(frame, fields::Product);
    f.expansion = field(frame, fields::Expansion);
    f.density = field(frame, fields::Density);
    f.capacity = field(frame, fields::Capacity);
    f.measured = field(frame, fields::Measured);
    f.complementary = field(frame, fields::Complementary);
    f.volume20 = field(frame, fields::Volume20);
    f.level = field(frame, fields::Level);
    f.time = field(frame, fields::MeasuredTime);
    f.date = field(frame, fields::MeasuredDate);
    f.byWeight = charAt(frame, fields::WeightMark, 'P');
    f.lastOfReading = charAt(frame, fields::EndOfReading, CR);
    return f;
}

ClockFields decodeClock(std::string_view frame)
{
    return {field(frame, fields::ClockTime), field(frame, fields::ClockDate), field(frame, fields::ClockDay)};
}

SensorFields decodeSensors(std::string_view frame)
{
    SensorFields f;
    f.states = field(frame, fields::SensorsBar1) + field(frame, fields::SensorsBar2);
    f.bar1Active = charAt(frame, fields::Bar1State, 'A');
    f.bar2Active = charAt(frame, fields::Bar2State, 'A');
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
    return {field(frame, fields::TankCount), field(frame, fields::Ofe), field(frame, fields::MeterType),
            field(frame, fields::SensorCount)};
}

IdentificationFields decodeIdentification(std::string_view frame)
{
    return {field(frame, fields::Address), field(frame, fields::Version)};
}

ScheduledFields decodeScheduled(std::string_view frame)
{
    ScheduledFields f;
    f.time = field(frame, fields::ScheduledTime);
    f.date = field(frame, fields::ScheduledDate);
    f.volume = field(frame, fields::ScheduledVolume);
    f.tank = field(frame, fields::ScheduledTank);
    f.moreFollow = charAt(frame, fields::MoreFollow, SOH);
    return f;
}

} // namespace zelta
