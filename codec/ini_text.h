#pragma once

#include <QList>
#include <QString>

// The lines of the programs' INI files: "[section]", "key = value", and whole-line comments
// starting with '#' or ';'. Blank and comment lines are left out. Names and values come trimmed,
// as written otherwise: each file decides how its names compare and what its values mean.
struct IniLine {
    enum class Kind { Section, Entry, Malformed };
    Kind kind = Kind::Malformed;
    int number = 0;  // from 1
    QString name;    // between the brackets, or before the first '='
    QString value;   // after the first '='
};

QList<IniLine> iniLines(const QString &text);
