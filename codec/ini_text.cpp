#include "codec/ini_text.h"

#include <QStringList>

QList<IniLine> iniLines(const QString &text)
{
    QList<IniLine> found;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int number = int(i + 1);
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            found.append({IniLine::Kind::Section, number, line.mid(1, line.size() - 2).trimmed(), {}});
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            found.append({IniLine::Kind::Malformed, number, {}, {}});
        else
            found.append({IniLine::Kind::Entry, number, line.left(equals).trimmed(), line.mid(equals + 1).trimmed()});
    }
    return found;
}
