#include "codec/counted.h"

#include <QLocale>

QString counted(qint64 count, const char *singular, const char *plural)
{
    static const QLocale brazilian(QLocale::Portuguese, QLocale::Brazil);
    return brazilian.toString(count) + QLatin1Char(' ') + QString::fromUtf8(count == 1 ? singular : plural);
}
