#include "store_common/bench_readings.h"

#include "protocol/bcc.h"
#include "session/reply_decoding.h"

#include <QTimeZone>

#include <algorithm>
#include <cmath>

namespace {

QByteArray field(qint64 value)
{
    return QByteArray::number(value).rightJustified(6, '0');
}

QByteArray frame(const QByteArray &body)
{
    QByteArray bytes = '\x02' + body + '\x03';
    bytes += char(zelta::blockCheckCharacter(std::string_view(bytes.constData() + 1, std::size_t(bytes.size() - 1))));
    return bytes;
}

} // namespace

StationIdentity benchStation()
{
    return {QStringLiteral("Posto Benchmark"), QStringLiteral("192.0.2.10"), QStringLiteral("009900"),
            QStringLiteral("UTC")};
}

QDateTime benchStart()
{
    return QDateTime(QDate(2015, 1, 1), QTime(0, 0), QTimeZone::utc());
}

MeasurementReading hourlyReading(int tank, int hour, const QByteArray &code)
{
    static const QByteArray products[] = {"GASOLINA C ", "GASOLINA AD", "ETANOL     ", "DIESEL S10 "};
    const QDateTime at = benchStart().addSecs(qint64(hour) * 3600);
    const qint64 capacity = 30000;
    const qint64 measured = capacity - 600 - (hour % 720) * 38 - tank * 17;
    const QByteArray body = code + QByteArray::number(tank).rightJustified(3, '0') + products[tank % 4] + "0.0012"
        + "0.74" + field(capacity) + field(measured) + field(capacity - measured) + field(measured - 45)
        + field(measured / 12) + at.toString(QStringLiteral("HHmmss")).toLatin1()
        + at.toString(QStringLiteral("ddMMyy")).toLatin1() + ' ';
    return decodeMeasurementReading(frame(body));
}

double quantile(std::vector<double> values, double q)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const auto rank = std::size_t(std::ceil(q * double(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}
