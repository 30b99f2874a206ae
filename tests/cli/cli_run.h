#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct CliRun {
    int exitCode = -1;  // -1: it crashed, or was killed after 30 s
    QByteArray out;
    QByteArray err;
    qint64 elapsedMs = 0;
};

// Runs the real comzelta-cli with `password` in COMZELTA_PASSWORD (unset when null) and the
// user's data under `dataHome`, spinning this thread's event loop meanwhile so that its simulated
// controllers answer.
CliRun runCli(const QStringList &arguments, const QString &password, const QString &dataHome);
