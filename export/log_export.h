#pragma once

#include "export/csv_writer.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

// One line of the communication log as the console kept it: the raw bytes and when it was logged.
struct LoggedLine {
    QDateTime at;
    QByteArray bytes;
};

// The saved log: a header, then per line the PC time it was logged and the line readable
// (<STX>, <ETX> ...), passwords masked.
QList<CsvRow> logRows(const QList<LoggedLine> &lines);
