#pragma once

#include <QDateTime>
#include <QString>

// The name a saved file is offered under: what it holds, the station and the PC's local time,
// as in "Inventario_Posto-Centro_2026-12-07_1530.csv". Blanks and every character a Windows file
// name cannot hold become '-'; a station with nothing left is left out.
QString exportFileName(const QString &contents, const QString &station, const QDateTime &at);
