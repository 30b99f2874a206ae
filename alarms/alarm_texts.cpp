#include "alarms/alarm_texts.h"

#include <QLocale>

namespace {

const QLocale &brazilian()
{
    static const QLocale locale(QLocale::Portuguese, QLocale::Brazil);
    return locale;
}

} // namespace

QString decimalText(double value, int decimals)
{
    return brazilian().toString(value, 'f', decimals);
}

QString litresText(double litres)
{
    return brazilian().toString(qRound64(litres)) + QStringLiteral(" L");
}

QString localTimeText(const QDateTime &utc, const QTimeZone &zone)
{
    return utc.toTimeZone(zone).toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}
