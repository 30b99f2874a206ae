#pragma once

#include <QDate>
#include <QString>

#include <vector>

struct SimulatedStation;

// One operator command of the soak: the console button that sends it and how many reply frames
// the controller answers it with.
struct SoakCommand {
    QString name;
    QString button;
    int replies = 1;
};

// The date asked for with "Medição Programada": one on which the built-in station has records.
inline const QDate ScheduleDay(2024, 3, 1);

// As the operator types it, DDMMAA.
QString scheduleDateText();

// Every command the console sends, in the order the soak repeats them, with the reply counts of
// `station` (one frame per tank for "MA", one per record of ScheduleDay for "MP").
std::vector<SoakCommand> commandMix(const SimulatedStation &station);
