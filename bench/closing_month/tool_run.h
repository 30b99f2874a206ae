#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// An engine's own tool, given a script on its standard input: the yardstick the book is timed
// beside.
struct ToolCommand {
    QString name;
    QString program;
    QStringList arguments;
};

// sqlite3 -readonly on the file, rows as CSV.
ToolCommand sqliteCommand(const QString &program, const QString &path);
// psql on the database's URL, rows as unaligned comma-separated fields; nothing when psql is
// missing, after saying so on stderr.
std::optional<ToolCommand> psqlCommand(const QString &url);

// What the tool printed; nothing, after saying why on stderr, when it failed.
std::optional<QByteArray> toolOutput(const ToolCommand &command, const QString &script);
// One run from start to exit, its output discarded, in milliseconds.
double toolRunMs(const ToolCommand &command, const QString &script);
