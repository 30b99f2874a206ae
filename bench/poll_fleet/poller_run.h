#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// One run of the real comzelta-poll, watched from outside.
struct PollerRun {
    bool exited = false;      // by itself, within the time
    int exitCode = -1;
    qint64 elapsedMs = 0;     // QProcess::start() to the exit, nothing subtracted
    qint64 roundLineAtMs = -1;  // when its round line was read
    QString roundLine;
    std::optional<double> roundSeconds;  // the round's own time, as that line gives it
    // Its VmHWM (/proc/PID/status): read every 10 ms and when the round line comes, the last
    // reading before the exit kept. The high-water mark only grows, so what the sampling misses
    // is the growth of its last 10 ms, while it closes down.
    long peakKiB = 0;
    QStringList problems;     // its standard error, line by line
};

PollerRun runPoller(const QStringList &arguments, int timeoutMs);

// The round's seconds in a line such as "Rodada 1: 1000 de 1000 postos lidos; 1,4 s".
std::optional<double> roundSecondsIn(const QString &roundLine);
