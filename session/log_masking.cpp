#include "session/log_masking.h"

#include "protocol/control_codes.h"
#include "protocol/requests.h"

#include <string_view>

namespace {

const QByteArray Transmitted = "Transmitiu: ";

std::string_view view(const QByteArray &bytes)
{
    return {bytes.constData(), std::size_t(bytes.size())};
}

// `frame` runs from its STX to the end of the line and holds the password.
QByteArray maskedFrame(const QByteArray &frame)
{
    QByteArray masked = frame.left(3) + "***";
    const std::optional<zelta::Request> request = zelta::parseRequestFrame(view(frame));
    if (!request)
        return masked;
    if (request->code == "AR") {
        if (const auto setting = zelta::parseClockSetting(request->argument))
            masked += QByteArray::fromStdString(request->argument.substr(setting->password.size()));
    }
    return masked + zelta::ETX + '*';
}

} // namespace

QByteArray maskedLogLine(const QByteArray &line)
{
    // The controller's replies never hold the password; its "AR" reply is its clock.
    if (line.startsWith("Recebeu"))
        return line;
    const qsizetype start = line.indexOf(zelta::STX);
    if (start < 0)
        return line;
    const QByteArray code = line.mid(start + 1, 2);
    if (code != "CF" && code != "AR")
        return line;
    QByteArray masked = line.left(start) + maskedFrame(line.mid(start));
    // "Transmitiu: 011 <frame>": the three digits are the frame's length.
    if (masked.startsWith(Transmitted) && start == Transmitted.size() + 4)
        masked.replace(Transmitted.size(), 3, "***");
    return masked;
}
