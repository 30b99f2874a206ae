#include "cli/request_body.h"

#include "protocol/requests.h"
#include "session/clock_setting.h"

namespace {

QByteArray bytes(const std::string &text)
{
    return QByteArray::fromStdString(text);
}

QByteArray bytes(std::string_view text)
{
    return QByteArray(text.data(), qsizetype(text.size()));
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
        return clockSettingRequest(password, now);
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
