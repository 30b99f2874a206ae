#include "simulator/frame_text.h"

#include "protocol/control_codes.h"

namespace {

QString hexByte(char byte)
{
    return QStringLiteral("<%1>").arg(uchar(byte), 2, 16, QLatin1Char('0')).toUpper();
}

QString byteText(char byte)
{
    switch (byte) {
    case zelta::SOH: return QStringLiteral("<SOH>");
    case zelta::STX: return QStringLiteral("<STX>");
    case zelta::ETX: return QStringLiteral("<ETX>");
    case zelta::ACK: return QStringLiteral("<ACK>");
    case zelta::CR: return QStringLiteral("<CR>");
    case zelta::NAK: return QStringLiteral("<NAK>");
    default: break;
    }
    if (byte >= ' ' && byte <= '~')
        return QString(QLatin1Char(byte));
    return hexByte(byte);
}

} // namespace

QString frameText(const QByteArray &frame)
{
    const bool hasCheckByte = frame.size() >= 2 && frame.at(frame.size() - 2) == zelta::ETX;
    const QByteArray shown = hasCheckByte ? frame.chopped(1) : frame;
    QString line;
    for (const char byte : shown)
        line += byteText(byte);
    if (hasCheckByte)
        line += hexByte(frame.back());
    return line;
}
