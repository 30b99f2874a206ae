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

// A log line fit to leave the console: the password of a "CF" or "AR" request it carries becomes
// "***" ("CF***", "AR***" + day of week, time and date), and so do the frame length a
// "Transmitiu" line gives and the check byte ("*"), which would tell the password's length and
// bits. A frame that cannot be read as a request is masked from its code on. Received lines,
// and every line without such a request, come back as they are.
QByteArray maskedLogLine(const QByteArray &line);

// The saved log: a header, then per line the PC time it was logged and the line readable
// (<STX>, <ETX> ...), passwords masked.
QList<CsvRow> logRows(const QList<LoggedLine> &lines);
