#pragma once

#include <QFile>
#include <QString>

// The --log file: every line of every station's communication log, one per line, as
// "<UTC time with milliseconds> TAB <station> TAB <line>", control codes named and passwords
// masked. Appended to, so that a program polling every few minutes keeps one history.
class FrameLog {
public:
    // False, with the reason in *error, when the file cannot be opened for appending.
    bool open(const QString &path, QString *error);
    void write(const QString &station, const QByteArray &line);

private:
    QFile file_;
};
