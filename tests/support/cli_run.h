#pragma once

#include "program_run.h"

#include <QString>
#include <QStringList>

// Runs the real comzelta-cli with `password` in COMZELTA_PASSWORD (unset when null) and the
// user's data under `dataHome`, spinning this thread's event loop meanwhile so that its simulated
// controllers answer; killed after 30 s.
ProgramResult runCli(const QStringList &arguments, const QString &password, const QString &dataHome);
