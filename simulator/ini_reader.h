#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A small INI dialect: "[section]" lines, "key = value" lines, and whole-line comments starting
// with '#' or ';'. Section names and keys are lower-cased with their blanks simplified; values
// are trimmed. A key may repeat.
struct IniEntry {
    int line = 0;
    QString key;
    QString value;
};

struct IniSection {
    int line = 0;
    QString name;
    QList<IniEntry> entries;
};

struct IniDocument {
    QList<IniSection> sections;
    QStringList problems;  // lines that are neither, keys outside any section
};

IniDocument readIni(const QString &text);
