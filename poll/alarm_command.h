#pragma once

#include "store/store_types.h"

#include <QObject>
#include <QProcessEnvironment>
#include <QStringList>

#include <optional>

// Runs the user's --on-alarm command once for each alarm notice, at once and side by side with
// polling: the program is started directly (a shell only if the command names one), with the
// alarm in its environment, its output going where comzelta-poll's goes, and it is killed once
// its time is up.
class AlarmCommandRunner : public QObject {
    Q_OBJECT
public:
    // `command` split into words as commandWords() says.
    AlarmCommandRunner(const QString &command, int timeoutMs, QObject *parent = nullptr);

    // Whether the command names a program at all.
    bool isValid() const { return !words_.isEmpty() && !words_.first().isEmpty(); }
    void run(const AlarmNotice &notice);
    int runningCount() const { return running_; }

signals:
    // A command that could not start, failed, or was killed, in Portuguese.
    void problem(const QString &text);
    // The last running command has ended.
    void idle();

private:
    void ended();

    QStringList words_;
    int timeoutMs_;
    int running_ = 0;
};

// The words of a command as a POSIX shell splits them, without running one and without expanding
// anything: blanks separate words; '...' keeps everything literally; "..." keeps everything but a
// backslash before ", \, $ or `; a backslash outside quotes keeps the next character. Nothing for
// an unterminated quote or a trailing backslash.
std::optional<QStringList> commandWords(const QString &command);

// `base` with COMZELTA_ALARM, COMZELTA_ALARM_STATE ("raised" or "cleared"), COMZELTA_STATION,
// COMZELTA_HOST, COMZELTA_SUBJECT, COMZELTA_DETAIL and COMZELTA_AT (UTC, ISO 8601) set.
QProcessEnvironment alarmEnvironment(const AlarmNotice &notice, QProcessEnvironment base);
