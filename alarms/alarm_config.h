#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// The alarm rules as alarmes.ini sets them (alarm_config_file.h reads the file).

// Percentages: of the tank's capacity for a level, of the month's sales for the cumulative loss.
// The alarm is raised at raiseAt and cleared only once the value is back at restoreAt, so a value
// wavering at the limit raises it once.
struct LevelLimits {
    double raiseAt = 0;
    double restoreAt = 0;
};

// A loss beyond 0,6 % of what the station had to sell is the one the fuel regulator asks to be
// investigated; a month's steady small losses reach it long before any single day does.
constexpr LevelLimits DefaultCumulativeLoss{0.6, 0.5};

// What the tanks of a product are watched for; a tank's own section overrides it key by key.
struct TankRules {
    std::optional<LevelLimits> low;
    std::optional<LevelLimits> high;
    std::optional<double> deliveryMinimum;  // litres at 20 °C

    TankRules overriddenBy(const TankRules &other) const;
};

// What every station is watched for; a station's own section overrides it key by key.
struct StationRules {
    std::optional<bool> sensors;             // unset: watched
    std::optional<bool> bars;                // unset: watched
    std::optional<int> communicationRounds;  // failed polls in a row that raise the alarm; unset: none
    std::optional<int> clockMinutes;         // the clock difference tolerated; unset: no alarm
    std::optional<LevelLimits> cumulativeLoss;  // the month's loss, % of its sales; unset: the default

    StationRules overriddenBy(const StationRules &other) const;
};

// A section names a station by its host (as dialled) or by its OFE number.
struct StationNames {
    QString host;
    QString ofe;

    bool calledBy(const QString &name) const;
};

class AlarmConfig {
public:
    void setProduct(const QString &product, const TankRules &rules);
    void setTank(const QString &station, int tank, const TankRules &rules);
    void setEveryStation(const StationRules &rules);
    void setStation(const QString &station, const StationRules &rules);

    TankRules tank(const StationNames &station, int tank, const QString &product) const;
    StationRules station(const StationNames &station) const;

private:
    struct NamedTank {
        QString station;
        int tank = 0;
        TankRules rules;
    };
    struct NamedStation {
        QString station;
        StationRules rules;
    };

    QHash<QString, TankRules> products_;  // by plainName()
    QList<NamedTank> tanks_;
    StationRules everyStation_;
    QList<NamedStation> stations_;
};

// Lower case, blanks simplified, accents dropped: how keys, sections and product names compare,
// so that "Nível baixo" and "nivel  baixo", or "ÁLCOOL" and "Alcool", are the same.
QString plainName(const QString &text);
