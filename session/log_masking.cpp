#include "session/log_masking.h"

#include "codec/windows1252.h"
#include "protocol/control_codes.h"
#include "protocol/requests.h"

#include <string_view>

namespace {

// The frame log's prefixes as protocol/log_lines.cpp writes them, recognised here.
const QByteArray Transmitted = "Transmitiu: ";
const QByteArray Received = "Recebeu: ";

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
    const qsizetype start = line.indexOf(zelta::STX);
    if (start < 0)
        return line;
    const QByteArray code = line.mid(start + 1, 2);
    if (code != "CF" && code != "AR")
        return line;
    QByteArray masked = line.left(start) + maskedFrame(line.mid(start));
    // "Transmitiu: 011 <frame>", "Recebeu: 011 <frame>": the three digits are the frame's length.
    for (const QByteArray &prefix : {Transmitted, Received}) {
        if (masked.startsWith(prefix) && start == prefix.size() + 4)
            masked.replace(prefix.size(), 3, "***");
    }
    return masked;
}

QString withoutPassword(const QString &text, const QByteArray &password)
{
    if (password.isEmpty())
        return text;
    return QString(text).replace(fromWindows1252(password), QStringLiteral("***"), Qt::CaseInsensitive);
}
