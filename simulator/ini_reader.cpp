#include "simulator/ini_reader.h"

#include "codec/ini_text.h"

namespace {

QString normalized(const QString &name)
{
    return name.simplified().toLower();
}

} // namespace

IniDocument readIni(const QString &text)
{
    IniDocument document;
    for (const IniLine &line : iniLines(text)) {
        switch (line.kind) {
        case IniLine::Kind::Section:
            document.sections.append({line.number, normalized(line.name), {}});
            break;
        case IniLine::Kind::Malformed:
            document.problems << QStringLiteral("line %1: expected \"key = value\" or \"[section]\"").arg(line.number);
            break;
        case IniLine::Kind::Entry:
            if (document.sections.isEmpty())
                document.problems
                    << QStringLiteral("line %1: \"%2\" is outside any section").arg(line.number).arg(line.name);
            else
                document.sections.last().entries.append({line.number, normalized(line.name), line.value});
            break;
        }
    }
    return document;
}
