#pragma once

#include <QByteArray>
#include <QString>

// A log line fit to leave the program: the password of a "CF" or "AR" frame it carries becomes
// "***" ("CF***", "AR***" + day of week, time and date), and so do the frame length the line
// gives and the check byte ("*"), which would tell the password's length and bits. Received
// frames are masked as sent ones: a peer that echoes the request sends the password back. A frame
// that cannot be read as a request is masked from its code on. Every other line comes back as it is.
QByteArray maskedLogLine(const QByteArray &line);

// `text` with every occurrence of the password, whatever its case, as "***": the controller reads
// it in capitals, and a peer that sends it back may too. An empty password masks nothing.
QString withoutPassword(const QString &text, const QByteArray &password);
