#pragma once

#include "store/history_queries.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>

// The sqlite3 tool, the yardstick of the history benchmarks: the same SQL text on the same file.

// Its path, or empty after saying on stderr that it is missing.
QString sqliteTool();
// The tool started with -readonly on the file, given `statements` with their parameters set by
// ".parameter set", output discarded, timed from start to exit; the median of `runs` (medianMs).
double sqliteToolMs(const QString &tool, const QString &path, const QStringList &statements,
                    const QVariantMap &parameters, int runs);
// :station, :tank, :from and :to of a one-tank request, as the queries bind them.
QVariantMap tankParameters(const SeriesRequest &request);
// A line of figures: ours, the tool's, their ratio, and whether ours is within the target of
// twice the tool's time and 100 ms.
void printBesideTool(const char *what, double oursMs, double toolMs);
