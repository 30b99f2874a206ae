#pragma once

#include <QByteArray>
#include <QString>

// Text as people read it, on screen, in a terminal or in a saved file: control codes named
// (<STX>, <ETX>, <ESC> ..., <DEL>) and the C1 controls, the five bytes Windows-1252 leaves
// unassigned, shown in hex (<81>), so that none vanishes, moves the cursor or starts a terminal
// sequence.
QString readableText(const QString &text);

// A line of the frame log, decoded from Windows-1252, as readableText shows it.
QString readableLogLine(const QByteArray &line);
