#include "codec/shown_value.h"

namespace {

bool printable(QChar c)
{
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return false;
    default:
        return c != QChar::ReplacementCharacter;
    }
}

} // namespace

QString shownValue(const QString &value)
{
    QString shown = QStringLiteral("\"");
    for (const QChar c : value) {
        if (printable(c))
            shown += c;
        else if (c.unicode() < 0x100)
            shown += QStringLiteral("\\x") + QString::number(c.unicode(), 16).rightJustified(2, QLatin1Char('0')).toUpper();
        else
            shown += QStringLiteral("\\u") + QString::number(c.unicode(), 16).rightJustified(4, QLatin1Char('0')).toUpper();
    }
    return shown + QLatin1Char('"');
}
