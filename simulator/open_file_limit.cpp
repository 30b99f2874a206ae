#include "simulator/open_file_limit.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

void raiseOpenFileLimit()
{
#ifdef Q_OS_UNIX
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == limit.rlim_max)
        return;
    limit.rlim_cur = limit.rlim_max;
    // Refused where the hard limit is "unlimited" (macOS): the soft limit then stays, and a
    // listen that runs out of files says so.
    setrlimit(RLIMIT_NOFILE, &limit);
#endif
}
