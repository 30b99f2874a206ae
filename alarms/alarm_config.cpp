#include "alarms/alarm_config.h"

namespace {

template <typename T>
std::optional<T> either(const std::optional<T> &preferred, const std::optional<T> &fallback)
{
    return preferred ? preferred : fallback;
}

} // namespace

TankRules TankRules::overriddenBy(const TankRules &other) const
{
    return {either(other.low, low), either(other.high, high), either(other.deliveryMinimum, deliveryMinimum)};
}

StationRules StationRules::overriddenBy(const StationRules &other) const
{
    return {either(other.sensors, sensors), either(other.bars, bars),
            either(other.communicationRounds, communicationRounds), either(other.clockMinutes, clockMinutes),
            either(other.cumulativeLoss, cumulativeLoss)};
}

bool StationNames::calledBy(const QString &name) const
{
    if (name.compare(host.trimmed(), Qt::CaseInsensitive) == 0)
        return true;
    // The controller sends its number zero-padded; people write it either way.
    bool nameIsNumber = false;
    bool ofeIsNumber = false;
    const qint64 number = name.toLongLong(&nameIsNumber);
    const qint64 stationNumber = ofe.trimmed().toLongLong(&ofeIsNumber);
    return nameIsNumber && ofeIsNumber && number == stationNumber;
}

void AlarmConfig::setProduct(const QString &product, const TankRules &rules)
{
    products_.insert(plainName(product), rules);
}

void AlarmConfig::setTank(const QString &station, int tank, const TankRules &rules)
{
    tanks_.append({station, tank, rules});
}

void AlarmConfig::setEveryStation(const StationRules &rules)
{
    everyStation_ = rules;
}

void AlarmConfig::setStation(const QString &station, const StationRules &rules)
{
    stations_.append({station, rules});
}

TankRules AlarmConfig::tank(const StationNames &station, int tank, const QString &product) const
{
    TankRules rules = products_.value(plainName(product));
    for (const NamedTank &named : tanks_) {
        if (named.tank == tank && station.calledBy(named.station))
            rules = rules.overriddenBy(named.rules);
    }
    return rules;
}

StationRules AlarmConfig::station(const StationNames &station) const
{
    StationRules rules = everyStation_;
    for (const NamedStation &named : stations_) {
        if (station.calledBy(named.station))
            rules = rules.overriddenBy(named.rules);
    }
    return rules;
}

QString plainName(const QString &text)
{
    const QString decomposed = text.simplified().toLower().normalized(QString::NormalizationForm_D);
    QString plain;
    plain.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            plain += c;
    }
    return plain;
}
