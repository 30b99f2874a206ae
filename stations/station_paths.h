#pragma once

#include <QString>

// The station file sits directly in the data directory, which ends with a separator.
QString stationFilePath(const QString &dataDirectory);

// The directory COMZELTA_DATA_DIR names, when set; otherwise "ComZelta/" in the user's data
// directory, or "C:/ComZeltaT TCP V3 QDR/" on Windows. Trailing separator included.
QString defaultDataDirectory();

// The data directory a program was given (--data-dir, with either separator on Windows), or the
// default when none; either way with Qt's separators and a trailing one.
QString dataDirectoryOrDefault(const QString &given);
