#pragma once

#include "simulator/simulated_station.h"

#include <QString>
#include <QStringList>

// The station file (UTF-8, INI-like): see station-example.ini for every section and key.
// Whatever the file leaves out keeps its default; what cannot be used is reported in problems
// with its line number and otherwise ignored.
struct StationLoad {
    bool readable = true;
    SimulatedStation station;
    QStringList problems;
};

StationLoad parseStation(const QString &text);
StationLoad loadStationFile(const QString &path);
