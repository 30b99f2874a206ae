#pragma once

#include <QByteArray>
#include <QString>

// A line of the session's frame log for a terminal: Windows-1252 decoded, control codes named
// (<STX>, <ETX>, <ACK> ...) so that they neither vanish nor move the cursor.
QString logText(const QByteArray &line);
