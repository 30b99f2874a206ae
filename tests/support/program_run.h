#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <utility>

// What a program did, once it ended.
struct ProgramResult {
    int exitCode = -1;  // -1: it crashed, or was killed after the time
    QByteArray out;
    QByteArray err;
    qint64 elapsedMs = 0;
};

// A program run as a child process, its output collected while this thread's event loop runs, so
// that the test's simulators answer it meanwhile.
class ProgramRun : public QObject {
    Q_OBJECT
public:
    ProgramRun(const QString &program, const QStringList &arguments,
               const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
    ~ProgramRun() override;

    QProcess &process() { return process_; }
    QByteArray out() const { return out_; }
    QByteArray err() const { return err_; }
    // Whether `text` came on standard output or error within the time.
    bool waitForText(const QByteArray &text, int timeoutMs);
    // The exit code; -1 after a crash, or after the time, when the program is killed.
    int waitForExit(int timeoutMs);
    // Waits as waitForExit, and tells all the program did.
    ProgramResult finish(int timeoutMs);
    // From the start to the exit, or to now while it runs.
    qint64 elapsedMs() const { return process_.state() == QProcess::NotRunning ? elapsedMs_ : clock_.elapsed(); }
    // When `text` had come whole on standard output, in milliseconds from the start; -1 if it has not.
    qint64 msUntilOut(const QByteArray &text) const;

private:
    void readOut();

    QProcess process_;
    QElapsedTimer clock_;
    qint64 elapsedMs_ = 0;
    QByteArray out_;
    QByteArray err_;
    QList<std::pair<qint64, qsizetype>> outTimes_;  // each read: when, and the output's size after it
};

// Runs the program to its end, killing it after `timeoutMs`.
ProgramResult runProgram(const QString &program, const QStringList &arguments,
                         const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                         int timeoutMs = 30000);
