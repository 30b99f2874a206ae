#pragma once

#include "cli/command_report.h"

#include <QByteArray>

// One JSON object for the command, UTF-8. Numbers are numbers; a field that is not a complete
// number, and an impossible date, are null.
QByteArray jsonReport(const CommandReport &report);
