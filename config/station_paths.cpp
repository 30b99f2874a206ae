#include "config/station_paths.h"

#include <QStandardPaths>

QString stationFilePath(const QString &Diretorio_Dados)
{
    return Diretorio_Dados + QStringLiteral("Configuração.TXT");
}

QString defaultDataDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
            + QStringLiteral("/ComZelta/");
}

QString dataDirectoryOrDefault(const QString &given)
{
    if (given.isEmpty())
        return defaultDataDirectory();
    return given.endsWith(QLatin1Char('/')) ? given : given + QLatin1Char('/');
}
