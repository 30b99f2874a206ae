#include "alarms/alarm_config_file.h"

#include "codec/ini_text.h"

#include <QHash>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <vector>

namespace {

const QString LowLevel = QStringLiteral("nível baixo");
const QString LowLevelRestore = QStringLiteral("nível baixo retorno");
const QString HighLevel = QStringLiteral("nível alto");
const QString HighLevelRestore = QStringLiteral("nível alto retorno");
const QString DeliveryMinimum = QStringLiteral("entrega mínima");
const QString Sensors = QStringLiteral("sensores");
const QString Bars = QStringLiteral("barras");
const QString CommunicationRounds = QStringLiteral("falhas de comunicação");
const QString ClockMinutes = QStringLiteral("diferença de relógio");
const QString CumulativeLoss = QStringLiteral("perda acumulada");
const QString CumulativeLossRestore = QStringLiteral("perda acumulada retorno");

constexpr int LargestTank = 999;

struct Entry {
    int line = 0;
    QString key;  // as written
    QString value;
};

struct Section {
    int line = 0;
    QString header;  // as written, without the brackets
    QList<Entry> entries;
};

// A section's entries by plainName() of their keys.
using Values = QHash<QString, Entry>;

class Reader {
public:
    void problem(int line, const QString &text) { problems_.push_back({line, text}); }

    // By line, whichever pass found them.
    QStringList problems() const
    {
        std::vector<std::pair<int, QString>> sorted = problems_;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        QStringList texts;
        for (const auto &[line, text] : sorted)
            texts << QStringLiteral("linha %1: %2").arg(line).arg(text);
        return texts;
    }

    QList<Section> sections(const QString &text)
    {
        QList<Section> found;
        for (const IniLine &line : iniLines(text)) {
            switch (line.kind) {
            case IniLine::Kind::Section:
                found.append({line.number, line.name.simplified(), {}});
                break;
            case IniLine::Kind::Malformed:
                problem(line.number, QStringLiteral("esperava \"chave = valor\" ou \"[seção]\""));
                break;
            case IniLine::Kind::Entry:
                if (found.isEmpty())
                    problem(line.number, QStringLiteral("\"%1\" fora de qualquer seção").arg(line.name));
                else
                    found.last().entries.append({line.number, line.name.simplified(), line.value});
                break;
            }
        }
        return found;
    }

    Values values(const Section &section, const QStringList &known)
    {
        QSet<QString> knownKeys;
        for (const QString &name : known)
            knownKeys.insert(plainName(name));
        Values values;
        for (const Entry &entry : section.entries) {
            const QString key = plainName(entry.key);
            if (!knownKeys.contains(key))
                problem(entry.line, QStringLiteral("chave desconhecida \"%1\" em [%2]").arg(entry.key, section.header));
            else if (values.contains(key))
                problem(entry.line, QStringLiteral("\"%1\" repetida em [%2] (já na linha %3)")
                                        .arg(entry.key, section.header)
                                        .arg(values.value(key).line));
            else
                values.insert(key, entry);
        }
        return values;
    }

    // Absent: nothing, and no problem; present but unusable: nothing, and the problem.
    std::optional<double> decimal(const Values &values, const QString &key, double low, double high, bool percent)
    {
        const auto found = values.constFind(plainName(key));
        if (found == values.constEnd())
            return std::nullopt;
        QString text = found->value;
        if (percent && text.endsWith(QLatin1Char('%')))
            text.chop(1);
        text.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const double number = text.trimmed().toDouble(&ok);
        if (ok && number >= low && number <= high)
            return number;
        problem(found->line, QStringLiteral("\"%1\" não serve para \"%2\": use um número de %3 a %4")
                                 .arg(found->value, found->key)
                                 .arg(low)
                                 .arg(high));
        return std::nullopt;
    }

    std::optional<int> whole(const Values &values, const QString &key, int low, int high)
    {
        const auto found = values.constFind(plainName(key));
        if (found == values.constEnd())
            return std::nullopt;
        bool ok = false;
        const int number = found->value.toInt(&ok);
        if (ok && number >= low && number <= high)
            return number;
        problem(found->line, QStringLiteral("\"%1\" não serve para \"%2\": use um número inteiro de %3 a %4")
                                 .arg(found->value, found->key)
                                 .arg(low)
                                 .arg(high));
        return std::nullopt;
    }

    std::optional<bool> yesNo(const Values &values, const QString &key)
    {
        const auto found = values.constFind(plainName(key));
        if (found == values.constEnd())
            return std::nullopt;
        const QString word = plainName(found->value);
        if (word == QLatin1String("sim") || word == QLatin1String("nao"))
            return word == QLatin1String("sim");
        problem(found->line, QStringLiteral("\"%1\" não serve para \"%2\": use sim ou não").arg(found->value, found->key));
        return std::nullopt;
    }

    // Both keys of a pair, or neither. A low level is restored above its limit, a high one below.
    // A value that is no number is told as such before the pair is judged.
    std::optional<LevelLimits> levelLimits(const Values &values, const Section &section, const QString &raiseKey,
                                           const QString &restoreKey, bool restoredAbove)
    {
        const bool hasRaise = values.contains(plainName(raiseKey));
        const bool hasRestore = values.contains(plainName(restoreKey));
        const std::optional<double> raiseAt = decimal(values, raiseKey, 0, 100, true);
        const std::optional<double> restoreAt = decimal(values, restoreKey, 0, 100, true);
        if ((hasRaise && !raiseAt) || (hasRestore && !restoreAt))
            return std::nullopt;
        if (hasRaise != hasRestore) {
            const QString missing = hasRaise ? restoreKey : raiseKey;
            const Entry given = values.value(plainName(hasRaise ? raiseKey : restoreKey));
            problem(given.line,
                    QStringLiteral("\"%1\" pede também \"%2\" em [%3]").arg(given.key, missing, section.header));
            return std::nullopt;
        }
        if (!raiseAt || !restoreAt)
            return std::nullopt;
        if (restoredAbove ? *restoreAt <= *raiseAt : *restoreAt >= *raiseAt) {
            const QLocale brazilian(QLocale::Portuguese, QLocale::Brazil);
            problem(values.value(plainName(restoreKey)).line,
                    QStringLiteral("\"%1\" (%2) deve ser %3 que \"%4\" (%5)")
                        .arg(restoreKey, brazilian.toString(*restoreAt),
                             restoredAbove ? QStringLiteral("maior") : QStringLiteral("menor"), raiseKey,
                             brazilian.toString(*raiseAt)));
            return std::nullopt;
        }
        return LevelLimits{*raiseAt, *restoreAt};
    }

    TankRules tankRules(const Section &section)
    {
        const Values found =
            values(section, {LowLevel, LowLevelRestore, HighLevel, HighLevelRestore, DeliveryMinimum});
        TankRules rules;
        rules.low = levelLimits(found, section, LowLevel, LowLevelRestore, true);
        rules.high = levelLimits(found, section, HighLevel, HighLevelRestore, false);
        rules.deliveryMinimum = decimal(found, DeliveryMinimum, 1, 999999, false);
        return rules;
    }

    StationRules stationRules(const Section &section)
    {
        const Values found =
            values(section, {Sensors, Bars, CommunicationRounds, ClockMinutes, CumulativeLoss, CumulativeLossRestore});
        StationRules rules;
        rules.sensors = yesNo(found, Sensors);
        rules.bars = yesNo(found, Bars);
        rules.communicationRounds = whole(found, CommunicationRounds, 1, 1000);
        rules.clockMinutes = whole(found, ClockMinutes, 1, 24 * 60);
        rules.cumulativeLoss = levelLimits(found, section, CumulativeLoss, CumulativeLossRestore, false);
        return rules;
    }

private:
    std::vector<std::pair<int, QString>> problems_;
};

} // namespace

Result<AlarmConfig, QStringList> parseAlarmConfig(const QString &text)
{
    Reader reader;
    AlarmConfig config;
    QHash<QString, int> seen;  // plain header, its line
    for (const Section &section : reader.sections(text)) {
        const QString plainHeader = plainName(section.header);
        if (seen.contains(plainHeader)) {
            reader.problem(section.line, QStringLiteral("[%1] repetida (já na linha %2)")
                                             .arg(section.header)
                                             .arg(seen.value(plainHeader)));
            continue;
        }
        seen.insert(plainHeader, section.line);

        const QStringList words = section.header.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QString kind = words.isEmpty() ? QString() : plainName(words.first());
        const QString argument = words.mid(1).join(QLatin1Char(' '));
        if (kind == QLatin1String("postos") && words.size() == 1) {
            config.setEveryStation(reader.stationRules(section));
        } else if (kind == QLatin1String("posto") && words.size() == 2) {
            config.setStation(argument, reader.stationRules(section));
        } else if (kind == QLatin1String("produto") && words.size() >= 2) {
            config.setProduct(argument, reader.tankRules(section));
        } else if (kind == QLatin1String("tanque") && words.size() == 3) {
            bool ok = false;
            const int tank = words[2].toInt(&ok);
            if (!ok || tank < 1 || tank > LargestTank) {
                reader.problem(section.line, QStringLiteral("\"%1\" não é um número de tanque (1 a %2) em [%3]")
                                                 .arg(words[2])
                                                 .arg(LargestTank)
                                                 .arg(section.header));
                continue;
            }
            config.setTank(words[1], tank, reader.tankRules(section));
        } else {
            reader.problem(section.line, QStringLiteral("seção [%1] desconhecida: use [postos], [posto NOME], "
                                                        "[produto NOME] ou [tanque NOME NÚMERO]")
                                             .arg(section.header));
        }
    }
    if (const QStringList problems = reader.problems(); !problems.isEmpty())
        return failure(problems);
    return config;
}
