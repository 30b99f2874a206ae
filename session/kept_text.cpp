#include "session/kept_text.h"

QString keptText(const QString &text)
{
    QString kept = text;
    for (QChar &c : kept) {
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    }
    return kept;
}
