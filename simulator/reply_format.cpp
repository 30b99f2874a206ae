#include "simulator/reply_format.h"

#include "codec/windows1252.h"
#include "protocol/bcc.h"
#include "protocol/control_codes.h"
#include "simulator/field_format.h"

namespace {

QByteArray textField(const QString &text, int width)
{
    return leftAligned(QByteArray::fromStdString(toWindows1252(text)), width);
}

QByteArray tankField(int tankNumber)
{
    return zeroPadded(tankNumber, 3);
}

// Frame position 44 counted from the STX; bodies start at frame position 2.
constexpr int EndOfReadingIndex = 44 - 2;
constexpr int ComplementaryIndex = 40 - 2;

} // namespace

QByteArray identificationReply(const SimulatedStation &station)
{
    return "ID" + textField(station.address, 3) + textField(station.version, 2);
}

QByteArray configurationReply(const SimulatedStation &station)
{
    return "CF" + zeroPadded(station.tankCount(), 2) + zeroPadded(station.ofe, 6) + zeroPadded(station.meterType, 1)
        + zeroPadded(station.sensorCount, 2);
}

QByteArray clockReply(const QByteArray &code, const QDateTime &now)
{
    // Qt counts Monday as 1 and Sunday as 7; the controller counts from Sunday.
    const int day = now.date().dayOfWeek() % 7 + 1;
    return code + timeField(now.time()) + dateField(now.date()) + zeroPadded(day, 2);
}

QByteArray measurementReply(const QByteArray &code, int tankNumber, const SimulatedTank &tank, const QDateTime &at)
{
    QByteArray body = code;
    body += tankField(tankNumber);
    body += textField(tank.product, 11);
    body += rightAlignedDecimal(tank.expansion, 6, 4);
    body += rightAlignedDecimal(tank.density, 4, 2);
    body += zeroPadded(tank.capacity, 6);
    body += zeroPadded(tank.measured, 6);
    body += zeroPadded(tank.complementaryVolume(), 6);
    body += zeroPadded(tank.volumeAt20(), 6);
    body += tank.levelMm ? zeroPadded(*tank.levelMm, 6) : QByteArray("S/Inf.");
    body += timeField(at.time());
    body += dateField(at.date());
    body += tank.byWeight ? 'P' : ' ';
    return body;
}

QByteArray sensorReply(const SimulatedStation &station)
{
    QByteArray states;
    for (int i = 0; i < SimulatedStation::MaxSensors; ++i)
        states += i < station.sensorCount ? char(station.sensors[std::size_t(i)]) : '0';
    return "LS" + states.left(16) + (station.bar1Active ? 'A' : 'I') + states.mid(16)
        + (station.bar2Active ? 'A' : 'I');
}

QByteArray scheduledReply(const QDate &date, const ScheduledMeasurement &record, bool moreFollow)
{
    QByteArray body = "MP" + timeField(record.time) + dateField(date) + zeroPadded(record.volume, 6)
        + tankField(record.tank);
    if (moreFollow)
        body += zelta::SOH;
    return body;
}

QByteArray errorReply(const QByteArray &code, const QByteArray &error)
{
    return code + 'E' + error;
}

// The CR lands inside the complementary field (frame positions 40-45): its value moves into the
// four characters before the CR, so that the console still reads it whole up to 9999.
void markEndOfReading(QByteArray &measurementBody)
{
    if (measurementBody.size() <= EndOfReadingIndex)
        return;
    bool numeric = false;
    const int complementary = measurementBody.mid(ComplementaryIndex, 6).toInt(&numeric);
    if (numeric && complementary >= 0 && complementary <= 9999)
        measurementBody.replace(ComplementaryIndex, 6, zeroPadded(complementary, 4) + zelta::CR + ' ');
    else
        measurementBody[EndOfReadingIndex] = zelta::CR;
}

QByteArray frameReply(const QByteArray &body)
{
    QByteArray frame;
    frame.reserve(body.size() + 3);
    frame += zelta::STX;
    frame += body;
    frame += zelta::ETX;
    frame += char(zelta::blockCheckCharacter(std::string_view(frame.constData() + 1, std::size_t(frame.size() - 1))));
    return frame;
}
