#include "cli/log_text.h"

#include "codec/windows1252.h"

QString logText(const QByteArray &line)
{
    static const char *const Names[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                          "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                          "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                          "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    QString text;
    for (const QChar c : fromWindows1252(line)) {
        if (c.unicode() < 0x20)
            text += QLatin1Char('<') + QLatin1String(Names[c.unicode()]) + QLatin1Char('>');
        else if (c.unicode() == 0x7F || (c.unicode() >= 0x80 && c.unicode() < 0xA0))
            text += QStringLiteral("<%1>").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            text += c;
    }
    return text;
}
