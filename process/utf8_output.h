#pragma once

#include <QtGlobal>

// Makes a command-line program write the same bytes on every system: UTF-8, lines ending in "\n".
// On Windows the console is switched to UTF-8, so Portuguese shows whole in a command prompt, and
// Qt's warnings, which Qt would write in the ANSI code page there, are written in UTF-8. Call once,
// first thing in main().
#ifdef Q_OS_WIN
void useUtf8Output();
#else
inline void useUtf8Output() {}
#endif
