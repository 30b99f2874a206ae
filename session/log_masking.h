#pragma once

#include <QByteArray>

// A log line fit to leave the program: the password of a "CF" or "AR" request it carries becomes
// "***" ("CF***", "AR***" + day of week, time and date), and so do the frame length a
// "Transmitiu" line gives and the check byte ("*"), which would tell the password's length and
// bits. A frame that cannot be read as a request is masked from its code on. Received lines,
// and every line without such a request, come back as they are.
QByteArray maskedLogLine(const QByteArray &line);
