#include "closing/book_author.h"

#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

BookAuthor localAuthor()
{
    // The account as the system names it: $USER is often unset under cron or a service.
    QString user = qEnvironmentVariable("USER");
    for (const char *name : {"LOGNAME", "USERNAME"})
        if (user.isEmpty())
            user = qEnvironmentVariable(name);
#ifdef Q_OS_UNIX
    if (const passwd *account = ::getpwuid(::getuid()); user.isEmpty() && account)
        user = QString::fromLocal8Bit(account->pw_name);
#endif
    return {user, QSysInfo::machineHostName()};
}
