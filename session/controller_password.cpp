#include "session/controller_password.h"

#include "codec/windows1252.h"

QByteArray controllerPassword(const QString &text)
{
    return QByteArray::fromStdString(toWindows1252(text));
}
