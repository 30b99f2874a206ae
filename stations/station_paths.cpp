#include "stations/station_paths.h"

#include <QDir>
#include <QStandardPaths>

QString stationFilePath(const QString &dataDirectory)
{
    return dataDirectory + QStringLiteral("Configuração.TXT");
}

QString defaultDataDirectory()
{
    // One place for every program of a machine or a service account, without --data-dir on each.
    const QString configured = qEnvironmentVariable("COMZELTA_DATA_DIR");
    if (!configured.isEmpty())
        return dataDirectoryOrDefault(configured);
#ifdef Q_OS_WIN
    // Where the station files of the console's operators have always been.
    return QStringLiteral("C:/ComZeltaT TCP V3 QDR/");
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
            + QStringLiteral("/ComZelta/");
#endif
}

QString dataDirectoryOrDefault(const QString &given)
{
    if (given.isEmpty())
        return defaultDataDirectory();
    const QString directory = QDir::fromNativeSeparators(given);
    return directory.endsWith(QLatin1Char('/')) ? directory : directory + QLatin1Char('/');
}
