#include "export/export_file_name.h"

#include <QStringList>

namespace {

bool allowedInFileName(QChar c)
{
    static const QString WindowsReserved = QStringLiteral("<>:\"/\\|?*");
    return c.unicode() >= 0x20 && !c.isSpace() && !WindowsReserved.contains(c);
}

// Runs of unfit characters become one '-'; dashes and dots at either end go, since Windows
// drops a trailing dot.
QString namePart(const QString &text)
{
    QString part;
    for (const QChar c : text) {
        if (allowedInFileName(c))
            part += c;
        else if (!part.endsWith(QLatin1Char('-')))
            part += QLatin1Char('-');
    }
    const auto trimmable = [](QChar c) { return c == QLatin1Char('-') || c == QLatin1Char('.'); };
    while (!part.isEmpty() && trimmable(part.front()))
        part.remove(0, 1);
    while (!part.isEmpty() && trimmable(part.back()))
        part.chop(1);
    return part;
}

} // namespace

QString exportFileName(const QString &contents, const QString &station, const QDateTime &at)
{
    QStringList parts{namePart(contents), namePart(station),
                      at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd_HHmm"))};
    parts.removeAll(QString());
    return parts.join(QLatin1Char('_')) + QStringLiteral(".csv");
}
