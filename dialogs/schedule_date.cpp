#include "dialogs/schedule_date.h"

#include "protocol/numeric_text.h"

#include <QList>

bool isScheduleDateAcceptable(const QString &Data_MedProg)
{
    const std::string trimmed = zelta::trimSpaces(Data_MedProg.toStdString());
    // Characters, not UTF-16 units nor UTF-8 bytes: each one becomes one byte on the wire.
    return QString::fromStdString(trimmed).toUcs4().size() == 6;
}
