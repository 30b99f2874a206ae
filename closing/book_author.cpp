#include "closing/book_author.h"

#include <QSysInfo>

BookAuthor localAuthor()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    return {user, QSysInfo::machineHostName()};
}
