#include "cli/request_body.h"

#include "protocol/requests.h"

namespace {

QByteArray bytes(const std::string &text)
{
    return QByteArray::fromStdString(text);
}

QByteArray bytes(std::string_view text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
}

zelta::ClockStamp clockStamp(const QDateTime &now)
{
    zelta::ClockStamp stamp;
    // Qt counts Monday as 1 and Sunday as 7; the controller counts from Sunday.
    stamp.weekday = now.date().dayOfWeek() % 7 + 1;
    stamp.hour = now.time().hour();
    stamp.minute = now.time().minute();
    stamp.second = now.time().second();
    stamp.day = now.date().day();
    stamp.month = now.date().month();
    stamp.year = now.date().year();
    return stamp;
}

} // namespace

QByteArray requestBody(const CliOptions &options, const QByteArray &password, const QDateTime &now)
{
    const std::string argument = options.argument.toStdString();
    switch (options.command) {
    case CliCommand::Identify:
        return {};
    case CliCommand::Clock:
        return bytes(zelta::ReadClock);
    case CliCommand::SetClock:
        return bytes(zelta::clockSettingBody(password.toStdString(), clockStamp(now)));
    case CliCommand::Measure:
        return bytes(zelta::measureTankBody(argument));
    case CliCommand::Memory:
        return bytes(zelta::readMemoryBody(argument));
    case CliCommand::Inventory:
        return bytes(zelta::MeasureAll);
    case CliCommand::Sensors:
        return bytes(zelta::ReadSensors);
    case CliCommand::Scheduled:
        return bytes(zelta::scheduledBody(argument));
    }
    return {};
}
