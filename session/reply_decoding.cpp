#include "session/reply_decoding.h"

#include "codec/windows1252.h"
#include "protocol/bcc.h"
#include "protocol/replies.h"

#include <string_view>

namespace {

std::string_view view(const QByteArray &frame)
{
    return std::string_view(frame.constData(), std::size_t(frame.size()));
}

} // namespace

QByteArray replyCode(const QByteArray &frame)
{
    return QByteArray::fromStdString(zelta::replyCode(view(frame)));
}

bool isErrorReply(const QByteArray &frame)
{
    return zelta::isErrorReply(view(frame));
}

bool checkByteMatches(const QByteArray &frame)
{
    // STX, at least ETX, then the check byte, which covers everything after STX up to ETX.
    if (frame.size() < 3)
        return false;
    const std::string_view covered = view(frame).substr(1, std::size_t(frame.size()) - 2);
    return zelta::blockCheckCharacter(covered) == static_cast<unsigned char>(frame.back());
}

MeasurementReading decodeMeasurementReading(const QByteArray &frame)
{
    const zelta::MeasurementFields f = zelta::decodeMeasurement(view(frame));
    MeasurementReading r;
    r.command = fromWindows1252(zelta::replyCode(view(frame)));
    r.tank = fromWindows1252(f.tank);
    r.product = fromWindows1252(f.product);
    r.expansion = fromWindows1252(f.expansion);
    r.density = fromWindows1252(f.density);
    r.capacity = fromWindows1252(f.capacity);
    r.measured = fromWindows1252(f.measured);
    r.complementary = fromWindows1252(f.complementary);
    r.volume20 = fromWindows1252(f.volume20);
    r.level = fromWindows1252(f.level);
    r.time = fromWindows1252(f.time);
    r.date = fromWindows1252(f.date);
    r.byWeight = f.byWeight;
    r.lastOfReading = f.lastOfReading;
    r.checkByteMatches = checkByteMatches(frame);
    return r;
}

ClockReading decodeClockReading(const QByteArray &frame)
{
    const zelta::ClockFields f = zelta::decodeClock(view(frame));
    ClockReading r;
    r.command = fromWindows1252(zelta::replyCode(view(frame)));
    r.time = fromWindows1252(f.time);
    r.date = fromWindows1252(f.date);
    r.day = fromWindows1252(f.day);
    r.checkByteMatches = checkByteMatches(frame);
    return r;
}

SensorReading decodeSensorReading(const QByteArray &frame, int sensorCount)
{
    const zelta::SensorFields f = zelta::decodeSensors(view(frame));
    SensorReading r;
    r.states = fromWindows1252(f.states);
    r.bar1Active = f.bar1Active;
    r.bar2Active = f.bar2Active;
    r.count = sensorCount;
    r.checkByteMatches = checkByteMatches(frame);
    return r;
}

ConfigurationReading decodeConfigurationReading(const QByteArray &frame)
{
    const zelta::ConfigurationFields f = zelta::decodeConfiguration(view(frame));
    ConfigurationReading r;
    r.tanks = fromWindows1252(f.tanks);
    r.ofe = fromWindows1252(f.ofe);
    r.meterType = fromWindows1252(f.meterType);
    r.sensors = fromWindows1252(f.sensors);
    r.checkByteMatches = checkByteMatches(frame);
    return r;
}

IdentificationReading decodeIdentificationReading(const QByteArray &frame)
{
    const zelta::IdentificationFields f = zelta::decodeIdentification(view(frame));
    IdentificationReading r;
    r.address = fromWindows1252(f.address);
    r.version = fromWindows1252(f.version);
    r.checkByteMatches = checkByteMatches(frame);
    return r;
}

ScheduledReading decodeScheduledReading(const QByteArray &frame)
{
    const zelta::ScheduledFields f = zelta::decodeScheduled(view(frame));
    ScheduledReading r;
    r.time = fromWindows1252(f.time);
    r.date = fromWindows1252(f.date);
    r.volume = fromWindows1252(f.volume);
    r.tank = fromWindows1252(f.tank);
    r.moreFollow = f.moreFollow;
    r.checkByteMatches = checkByteMatches(frame);
    return r;
}

ErrorReply decodeErrorReply(const QByteArray &frame)
{
    ErrorReply r;
    r.command = fromWindows1252(zelta::replyCode(view(frame)));
    r.code = fromWindows1252(zelta::errorCode(view(frame)));
    r.text = errorReplyText(r.code);
    r.checkByteMatches = checkByteMatches(frame);
    return r;
}
