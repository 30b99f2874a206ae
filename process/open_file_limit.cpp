#include "process/open_file_limit.h"

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

std::optional<qint64> raiseOpenFileLimit()
{
#ifdef Q_OS_UNIX
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return std::nullopt;
    if (limit.rlim_cur != limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        // Refused where the hard limit is "unlimited" (macOS): the soft limit then stays.
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    if (limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    return qint64(limit.rlim_cur);
#else
    return std::nullopt;
#endif
}
