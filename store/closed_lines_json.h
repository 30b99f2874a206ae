#pragma once

#include "store/closing_rows.h"

#include <QString>

// A closed day's lines as the audit keeps them: one JSON array, keys in English snake_case, so
// that the lines before and after a reopening can be read back and compared years later.
QString closedLinesJson(const QList<ClosedLine> &lines);

// "product", "tank" or "nozzle", as stored in closed_line.kind.
const char *closedLineKindText(ClosedLine::Kind kind);
