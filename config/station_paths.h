#pragma once

#include <QString>

// The station file sits directly in the data directory, which ends with a separator.
QString stationFilePath(const QString &Diretorio_Dados);

// "ComZelta/" in the user's data directory, trailing separator included.
QString defaultDataDirectory();

// The data directory a program was given (--data-dir), or the default when none; either way with
// its trailing separator.
QString dataDirectoryOrDefault(const QString &given);
