#include "simulator/controller_responder.h"

#include "simulator/field_format.h"
#include "simulator/reply_format.h"

#include <optional>

namespace {

const QByteArray InvalidTank = "TI";
const QByteArray NotEnabled = "NH";
const QByteArray ProbeOffline = "OL";
const QByteArray NoMeasurements = "SL";

QByteArray bytes(const std::string &text)
{
    return QByteArray::fromStdString(text);
}

// Exactly two digits, 01..16.
std::optional<int> tankNumber(const QByteArray &argument)
{
    if (argument.size() != 2 || !allDigits(argument))
        return std::nullopt;
    const int number = argument.toInt();
    if (number < 1 || number > SimulatedStation::MaxTanks)
        return std::nullopt;
    return number;
}

// The tank that can be measured, or the error the controller gives instead.
struct TankLookup {
    SimulatedTank *tank = nullptr;
    QByteArray error;
};

TankLookup lookUpTank(SimulatedStation &station, int number, bool needsProbe)
{
    SimulatedTank *tank = station.tank(number);
    if (!tank || !tank->enabled)
        return {nullptr, NotEnabled};
    if (needsProbe && !tank->probeOnline)
        return {nullptr, ProbeOffline};
    return {tank, {}};
}

QByteArray measure(SimulatedStation &station, const QByteArray &code, int number)
{
    const TankLookup found = lookUpTank(station, number, true);
    if (!found.tank)
        return errorReply(code, found.error);
    found.tank->measure(station.clock.now());
    return measurementReply(code, number, *found.tank, found.tank->lastMeasurement);
}

QList<QByteArray> measureOne(SimulatedStation &station, const QByteArray &code, const QByteArray &argument)
{
    const std::optional<int> number = tankNumber(argument);
    if (!number)
        return {errorReply(code, InvalidTank)};
    return {measure(station, code, *number)};
}

// The memory answers without the probe: it holds what was measured while the probe was there.
QList<QByteArray> readMemory(SimulatedStation &station, const QByteArray &code, const QByteArray &argument)
{
    const std::optional<int> number = tankNumber(argument);
    if (!number)
        return {errorReply(code, InvalidTank)};
    const TankLookup found = lookUpTank(station, *number, false);
    if (!found.tank)
        return {errorReply(code, found.error)};
    return {measurementReply(code, *number, *found.tank, found.tank->lastMeasurement)};
}

// One reply per tank the controller reports, gaps and failing probes included as error replies,
// so the console's count of replies reaches its tank count.
QList<QByteArray> measureAll(SimulatedStation &station, const QByteArray &code)
{
    QList<QByteArray> replies;
    for (int number = 1; number <= station.tankCount(); ++number)
        replies.append(measure(station, code, number));
    if (!replies.isEmpty())
        markEndOfReading(replies.last());
    return replies;
}

QList<QByteArray> setClock(SimulatedStation &station, const QByteArray &code, const QByteArray &argument)
{
    const std::optional<zelta::ClockSetting> setting = zelta::parseClockSetting(argument.toStdString());
    if (!setting || !station.acceptsPassword(bytes(setting->password)))
        return {};
    const zelta::ClockStamp &s = setting->stamp;
    station.clock.set(QDateTime(QDate(2000 + s.year, s.month, s.day), QTime(s.hour, s.minute, s.second)));
    return {clockReply(code, station.clock.now())};
}

QList<QByteArray> scheduled(const SimulatedStation &station, const QByteArray &code, const QByteArray &argument)
{
    const QDate date = dateFromField(argument);
    const auto found = station.schedule.find(date);
    if (!date.isValid() || found == station.schedule.end() || found->second.empty())
        return {errorReply(code, NoMeasurements)};
    QList<QByteArray> replies;
    const std::vector<ScheduledMeasurement> &records = found->second;
    for (std::size_t i = 0; i < records.size(); ++i)
        replies.append(scheduledReply(date, records[i], i + 1 < records.size()));
    return replies;
}

} // namespace

QList<QByteArray> answerRequest(SimulatedStation &station, const zelta::Request &request)
{
    const QByteArray code = bytes(request.code);
    const QByteArray argument = bytes(request.argument);

    if (code == "ID")
        return argument == "01" ? QList<QByteArray>{identificationReply(station)} : QList<QByteArray>{};
    if (code == "CF")
        return station.acceptsPassword(argument) ? QList<QByteArray>{configurationReply(station)}
                                                 : QList<QByteArray>{};
    if (code == "LR")
        return {clockReply(code, station.clock.now())};
    if (code == "AR")
        return setClock(station, code, argument);
    if (code == "MT")
        return measureOne(station, code, argument);
    if (code == "LM")
        return readMemory(station, code, argument);
    if (code == "MA")
        return measureAll(station, code);
    if (code == "LS") {
        station.readSensors();
        return {sensorReply(station)};
    }
    if (code == "MP")
        return scheduled(station, code, argument);
    return {};
}
