#pragma once

#include <QByteArray>
#include <QString>

// Why the controller cannot be given this password, in Portuguese ("a senha contém ..."); empty
// when it can. A control character would end or split the frame that carries it, and a character
// Windows-1252 lacks would reach the controller as '?'.
QString passwordProblem(const QString &text);

// A password as the controller compares it: Windows-1252. Check it with passwordProblem first.
QByteArray controllerPassword(const QString &text);
