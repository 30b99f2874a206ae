#include "session/log_text.h"

#include "codec/windows1252.h"

QString readableText(const QString &text)
{
    static const char *const Names[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                          "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                          "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                          "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
    QString readable;
    readable.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c.unicode() < 0x20)
            readable += QLatin1Char('<') + QLatin1String(Names[c.unicode()]) + QLatin1Char('>');
        else if (c.unicode() == 0x7F)
            readable += QLatin1String("<DEL>");
        else if (c.unicode() >= 0x80 && c.unicode() < 0xA0)
            readable += QStringLiteral("<%1>").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            readable += c;
    }
    return readable;
}

QString readableLogLine(const QByteArray &line)
{
    return readableText(fromWindows1252(line));
}
