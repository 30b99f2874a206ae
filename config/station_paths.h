#pragma once

#include <QString>

// The station file sits directly in the data directory, which ends with a separator.
QString stationFilePath(const QString &Diretorio_Dados);

// "ComZelta/" in the user's data directory, trailing separator included.
QString defaultDataDirectory();
