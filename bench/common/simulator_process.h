#pragma once

#include <QByteArray>
#include <QSemaphore>
#include <QString>
#include <QStringList>
#include <QThread>

#include "common/elapsed.h"

#include <atomic>
#include <functional>

class QObject;
class QProcess;

// comzelta-sim as a child process, watched from a thread of its own.
//
// A separate process keeps the simulator's timing, CPU time and memory apart from those of the
// program measured: a simulator on the measured thread would answer only when that thread gets
// back to its event loop, and its work would be counted as the console's. The watching thread
// reads what the simulator prints (one line per connection, request and reply) as soon as it is
// printed, whatever the measured thread is doing.
class SimulatorProcess {
public:
    // Called on the watching thread for every line the simulator prints, with the time it was read.
    using LineHandler = std::function<void(const QByteArray &line, BenchClock::time_point readAt)>;

    // `arguments` are comzelta-sim options besides --address (--station, --delay, faults ...).
    SimulatorProcess(const QString &address, const QStringList &arguments, LineHandler onLine = {});
    ~SimulatorProcess();

    SimulatorProcess(const SimulatorProcess &) = delete;
    SimulatorProcess &operator=(const SimulatorProcess &) = delete;

    // Starts the simulator and waits until it listens; false, with the reason in `error`, if not.
    bool start(QString *error);

private:
    void readLines();

    QString address_;
    QStringList arguments_;
    LineHandler onLine_;
    QThread thread_;
    QObject *context_ = nullptr;   // lives on thread_
    QProcess *process_ = nullptr;  // created and used on thread_ only
    QByteArray partialLine_;
    std::atomic<bool> listening_{false};
    QSemaphore answered_;          // released when it listens or cannot start
};
