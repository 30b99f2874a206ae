#include "session/quit_on_signal.h"

#include <QMetaObject>

#include <windows.h>

namespace {

std::function<void()> terminationHandler;

// Windows calls this on a thread of its own: the handler is only queued for the event loop.
BOOL WINAPI onConsoleControl(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        QMetaObject::invokeMethod(QCoreApplication::instance(), terminationHandler, Qt::QueuedConnection);
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // Returning ends the process at once; waiting here (Windows allows about five seconds) lets
        // the event loop finish, and the process ends with it.
        QMetaObject::invokeMethod(QCoreApplication::instance(), terminationHandler, Qt::QueuedConnection);
        ::Sleep(5000);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void onTerminationSignals(std::function<void()> handler)
{
    terminationHandler = std::move(handler);
    ::SetConsoleCtrlHandler(onConsoleControl, TRUE);
}
