#pragma once

#include <QtGlobal>

#include <optional>

// Raises this process's limit of open files to the most the system allows it, for a program that
// holds a socket per station: the simulator listening on many addresses, the poller dialling
// many stations. Returns the limit it ends with; nothing where there is no limit (or none that
// can be read).
std::optional<qint64> raiseOpenFileLimit();
