#pragma once

#include <QByteArray>
#include <QString>

// A line of the frame log as people read it, on screen, in a terminal or in a saved file: decoded
// from Windows-1252, control codes named (<STX>, <ETX>, <ACK> ..., <DEL>) and the five bytes
// Windows-1252 leaves unassigned shown in hex (<81>), so that none vanishes or moves the cursor.
QString readableLogLine(const QByteArray &line);
