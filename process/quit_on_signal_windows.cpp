#include "process/quit_on_signal.h"

#include <QMetaObject>

#include <windows.h>

namespace {

std::function<void()> terminationHandler;

// Windows calls this on a thread of its own: the handler is only queued for the event loop.
BOOL WINAPI onConsoleControl(DWORD event)
{
    const bool closing = event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
    if (!closing && event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    QMetaObject::invokeMethod(QCoreApplication::instance(), terminationHandler, Qt::QueuedConnection);
    // A closing console ends the process as soon as this returns; waiting here (Windows allows
    // about five seconds) lets the event loop finish first, and the process ends with it.
    if (closing)
        ::Sleep(5000);
    return TRUE;
}

} // namespace

void onTerminationSignals(std::function<void()> handler)
{
    terminationHandler = std::move(handler);
    ::SetConsoleCtrlHandler(onConsoleControl, TRUE);
}
