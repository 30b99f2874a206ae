#include "simulator/station_file.h"

#include "simulator/ini_reader.h"

#include <QFile>

#include <algorithm>
#include <functional>
#include <map>

namespace {

const QString DateFormat = QStringLiteral("dd/MM/yyyy");
const QString TimeFormat = QStringLiteral("HH:mm:ss");
constexpr int LargestVolume = 999999;
constexpr int LargestClockOffset = 10 * 366 * 24 * 60;  // minutes

// Applies one value; false when the value cannot be used.
using Setter = std::function<bool(const QString &)>;
using Setters = std::map<QString, Setter>;

Setter integerIn(int &target, int low, int high)
{
    return [&target, low, high](const QString &value) {
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok || number < low || number > high)
            return false;
        target = number;
        return true;
    };
}

Setter volume(int &target)
{
    return integerIn(target, 0, LargestVolume);
}

Setter optionalVolume(std::optional<int> &target)
{
    return [&target](const QString &value) {
        int given = 0;
        if (!volume(given)(value))
            return false;
        target = given;
        return true;
    };
}

Setter decimalIn(double &target, double low, double high)
{
    return [&target, low, high](const QString &value) {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok || number < low || number > high)
            return false;
        target = number;
        return true;
    };
}

Setter text(QString &target)
{
    return [&target](const QString &value) {
        target = value;
        return true;
    };
}

Setter choice(bool &target, const QString &yes, const QString &no)
{
    return [&target, yes, no](const QString &value) {
        const QString word = value.toLower();
        if (word != yes && word != no)
            return false;
        target = word == yes;
        return true;
    };
}

Setter yesNo(bool &target)
{
    return choice(target, QStringLiteral("yes"), QStringLiteral("no"));
}

Setter barState(bool &target)
{
    return choice(target, QStringLiteral("active"), QStringLiteral("inactive"));
}

// "a, b, c", each item through the setter `item` makes for it: the first value now, and all of
// them as the script the readings then take in turn.
template <typename T, typename Current, typename MakeSetter>
Setter scripted(Current &current, ValueScript<T> &script, MakeSetter item)
{
    return [&current, &script, item](const QString &value) {
        std::vector<T> values;
        for (const QString &part : value.split(QLatin1Char(','))) {
            T parsed{};
            if (!item(parsed)(part.trimmed()))
                return false;
            values.push_back(parsed);
        }
        current = values.front();
        script = ValueScript<T>(std::move(values));
        return true;
    };
}

void apply(const IniSection &section, const Setters &setters, QStringList &problems)
{
    for (const IniEntry &entry : section.entries) {
        const auto found = setters.find(entry.key);
        if (found == setters.end())
            problems << QStringLiteral("line %1: unknown key \"%2\" in [%3]")
                            .arg(entry.line)
                            .arg(entry.key, section.name);
        else if (!found->second(entry.value))
            problems << QStringLiteral("line %1: \"%2\" is not a valid %3").arg(entry.line).arg(entry.value, entry.key);
    }
}

void readIdentity(const IniSection &section, SimulatedStation &station, QStringList &problems)
{
    const Setter clockOffset = [&station](const QString &value) {
        int minutes = 0;
        if (!integerIn(minutes, -LargestClockOffset, LargestClockOffset)(value))
            return false;
        station.clock.setMinutesAhead(minutes);
        return true;
    };
    apply(section,
          {
              {QStringLiteral("address"), text(station.address)},
              {QStringLiteral("version"), text(station.version)},
              {QStringLiteral("ofe"), integerIn(station.ofe, 0, 999999)},
              {QStringLiteral("meter type"), integerIn(station.meterType, 1, 3)},
              {QStringLiteral("password"), text(station.password)},
              {QStringLiteral("clock offset"), clockOffset},
          },
          problems);
}

void readTank(const IniSection &section, SimulatedTank &tank, QStringList &problems)
{
    const Setter level = [&tank](const QString &value) {
        if (value.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0) {
            tank.levelMm.reset();
            return true;
        }
        return optionalVolume(tank.levelMm)(value);
    };
    const Setter lastMeasurement = [&tank](const QString &value) {
        const QDateTime time = QDateTime::fromString(value, DateFormat + QLatin1Char(' ') + TimeFormat);
        if (time.isValid())
            tank.lastMeasurement = time;
        return time.isValid();
    };
    apply(section,
          {
              {QStringLiteral("product"), text(tank.product)},
              {QStringLiteral("capacity"), integerIn(tank.capacity, 0, LargestVolume)},
              {QStringLiteral("measured"), volume(tank.measured)},
              {QStringLiteral("readings"), scripted(tank.measured, tank.readings, volume)},
              {QStringLiteral("readings at 20"), scripted(tank.volume20, tank.readingsAt20, volume)},
              {QStringLiteral("complementary"), optionalVolume(tank.complementary)},
              {QStringLiteral("volume at 20"), optionalVolume(tank.volume20)},
              {QStringLiteral("density"), decimalIn(tank.density, 0.0, 9.99)},
              {QStringLiteral("level"), level},
              {QStringLiteral("expansion"), decimalIn(tank.expansion, 0.0, 9.9999)},
              {QStringLiteral("by weight"), yesNo(tank.byWeight)},
              {QStringLiteral("enabled"), yesNo(tank.enabled)},
              {QStringLiteral("probe"), choice(tank.probeOnline, QStringLiteral("online"), QStringLiteral("offline"))},
              {QStringLiteral("last measurement"), lastMeasurement},
          },
          problems);
}

Setter sensorState(SensorState &target)
{
    return [&target](const QString &value) {
        static const std::map<QString, SensorState> names = {
            {QStringLiteral("short"), SensorState::Short},
            {QStringLiteral("normal"), SensorState::Normal},
            {QStringLiteral("leak"), SensorState::Leak},
            {QStringLiteral("open"), SensorState::Open},
        };
        const auto found = names.find(value.toLower());
        if (found != names.end())
            target = found->second;
        return found != names.end();
    };
}

void readSensors(const IniSection &section, SimulatedStation &station, QStringList &problems)
{
    Setters setters = {
        {QStringLiteral("count"), integerIn(station.sensorCount, 0, SimulatedStation::MaxSensors)},
        {QStringLiteral("bar 1"), scripted(station.bar1Active, station.bar1Script, barState)},
        {QStringLiteral("bar 2"), scripted(station.bar2Active, station.bar2Script, barState)},
    };
    for (std::size_t i = 0; i < station.sensors.size(); ++i)
        setters[QStringLiteral("sensor %1").arg(i + 1)] =
            scripted(station.sensors[i], station.sensorScripts[i], sensorState);
    apply(section, setters, problems);
}

// "HH:MM:SS tank volume"
std::optional<ScheduledMeasurement> scheduledMeasurement(const QString &value)
{
    const QStringList parts = value.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 3)
        return std::nullopt;
    ScheduledMeasurement record;
    record.time = QTime::fromString(parts[0], TimeFormat);
    if (!record.time.isValid() || !integerIn(record.tank, 1, SimulatedStation::MaxTanks)(parts[1])
        || !integerIn(record.volume, 0, LargestVolume)(parts[2]))
        return std::nullopt;
    return record;
}

void readSchedule(const IniSection &section, const QDate &date, SimulatedStation &station, QStringList &problems)
{
    std::vector<ScheduledMeasurement> &records = station.schedule[date];
    const Setter measurement = [&records](const QString &value) {
        const std::optional<ScheduledMeasurement> record = scheduledMeasurement(value);
        if (record)
            records.push_back(*record);
        return record.has_value();
    };
    apply(section, {{QStringLiteral("measurement"), measurement}}, problems);
}

// "tank 3" -> 3; "schedule 01/03/2024" -> that date. Nothing when the name is not of that kind.
std::optional<QString> nameArgument(const QString &name, const QString &kind)
{
    if (!name.startsWith(kind + QLatin1Char(' ')))
        return std::nullopt;
    return name.mid(kind.size() + 1);
}

void readSection(const IniSection &section, SimulatedStation &station, QStringList &problems)
{
    if (section.name == QLatin1String("station"))
        return readIdentity(section, station, problems);
    if (section.name == QLatin1String("sensors"))
        return readSensors(section, station, problems);

    if (const std::optional<QString> argument = nameArgument(section.name, QStringLiteral("tank"))) {
        int number = 0;
        if (!integerIn(number, 1, SimulatedStation::MaxTanks)(*argument)) {
            problems << QStringLiteral("line %1: tanks are numbered 1 to 16, not \"%2\"")
                            .arg(section.line)
                            .arg(*argument);
            return;
        }
        const bool isNew = station.tanks.count(number) == 0;
        SimulatedTank &tank = station.tanks[number];
        if (isNew)
            tank.lastMeasurement = station.clock.now();
        return readTank(section, tank, problems);
    }

    if (const std::optional<QString> argument = nameArgument(section.name, QStringLiteral("schedule"))) {
        const QDate date = *argument == QLatin1String("today") ? station.clock.now().date()
                                                               : QDate::fromString(*argument, DateFormat);
        if (!date.isValid()) {
            problems << QStringLiteral("line %1: \"%2\" is not a date (DD/MM/YYYY or today)")
                            .arg(section.line)
                            .arg(*argument);
            return;
        }
        return readSchedule(section, date, station, problems);
    }

    problems << QStringLiteral("line %1: unknown section [%2]").arg(section.line).arg(section.name);
}

} // namespace

StationLoad parseStation(const QString &text)
{
    StationLoad load;
    const IniDocument document = readIni(text);
    load.problems = document.problems;
    // [station] first, wherever it is written: its clock offset dates the tanks' first memory
    // and "[schedule today]".
    QList<IniSection> sections = document.sections;
    std::stable_partition(sections.begin(), sections.end(),
                          [](const IniSection &section) { return section.name == QLatin1String("station"); });
    for (const IniSection &section : std::as_const(sections))
        readSection(section, load.station, load.problems);
    return load;
}

StationLoad loadStationFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        StationLoad load;
        load.readable = false;
        load.problems << QStringLiteral("%1: %2").arg(path, file.errorString());
        return load;
    }
    return parseStation(QString::fromUtf8(file.readAll()));
}
