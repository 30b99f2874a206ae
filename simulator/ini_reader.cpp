#include "simulator/ini_reader.h"

namespace {

QString normalized(const QString &name)
{
    return name.simplified().toLower();
}

} // namespace

IniDocument readIni(const QString &text)
{
    IniDocument document;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const int number = i + 1;
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            document.sections.append({number, normalized(line.mid(1, line.size() - 2)), {}});
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            document.problems << QStringLiteral("line %1: expected \"key = value\" or \"[section]\"").arg(number);
            continue;
        }
        if (document.sections.isEmpty()) {
            document.problems << QStringLiteral("line %1: \"%2\" is outside any section")
                                     .arg(number)
                                     .arg(line.left(equals).trimmed());
            continue;
        }
        document.sections.last().entries.append(
            {number, normalized(line.left(equals)), line.mid(equals + 1).trimmed()});
    }
    return document;
}
