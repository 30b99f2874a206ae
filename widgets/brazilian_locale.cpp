#include "widgets/brazilian_locale.h"

#include <QLocale>

void useBrazilianLocale()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
}
