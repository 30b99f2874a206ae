#include "history/station_time.h"

QTimeZone stationZone(const QString &ianaName)
{
    const QTimeZone zone(ianaName.toUtf8());
    return !ianaName.isEmpty() && zone.isValid() ? zone : QTimeZone::systemTimeZone();
}

QString stationTimeText(const QDateTime &at, const QTimeZone &zone)
{
    return at.isValid() ? at.toTimeZone(zone).toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : QString();
}

qint64 chartMsInZone(qint64 utcMs, const QTimeZone &zone)
{
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(utcMs, Qt::UTC);
    return utcMs + qint64(zone.offsetFromUtc(at) - QTimeZone::systemTimeZone().offsetFromUtc(at)) * 1000;
}
