#include "session/clock_setting.h"

#include "protocol/requests.h"

QByteArray clockSettingRequest(const QByteArray &password, const QDateTime &now)
{
    zelta::ClockStamp stamp;
    // Qt counts Monday as 1 and Sunday as 7; the controller counts from Sunday.
    stamp.weekday = now.date().dayOfWeek() % 7 + 1;
    stamp.hour = now.time().hour();
    stamp.minute = now.time().minute();
    stamp.second = now.time().second();
    stamp.day = now.date().day();
    stamp.month = now.date().month();
    stamp.year = now.date().year();
    return QByteArray::fromStdString(
        zelta::clockSettingBody(std::string_view(password.constData(), std::size_t(password.size())), stamp));
}
