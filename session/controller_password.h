#pragma once

#include <QByteArray>
#include <QString>

// A password as the controller compares it: Windows-1252, characters it lacks as '?'.
QByteArray controllerPassword(const QString &text);
