#pragma once

#include "base/result.h"
#include "process/command_line.h"

#include <QCommandLineOption>

class QCommandLineParser;

// An option whose value is a whole number, `fallback` when it is not given; `help` names the
// default as %1 where it says it.
QCommandLineOption wholeNumberOption(const QString &name, QString help, const QString &valueName, int fallback);

// The whole number given to `option`, from `lowest` to `highest`, read as Qt reads an int: blanks
// around it and a sign are allowed, "1.5" and "1e3" are not. Without the option, its default,
// which may stand outside the range for "none" (--parallel's 0: every station at once).
Result<int, CommandLineProblem> readWholeNumber(const QCommandLineParser &parser, const QCommandLineOption &option,
                                                int lowest, int highest);
