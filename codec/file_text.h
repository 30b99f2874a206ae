#pragma once

#include <QFile>
#include <QString>

// Files as the programs name them to people: in Portuguese, never the system's English.

// What went wrong with `file`, after a failed read, write or open for writing.
QString fileErrorText(const QFile &file);

// Opens `file` (its name set) for reading, as a configuration file. Only a regular file: a FIFO
// would block the program in its first read for ever, and a directory or a device is nobody's
// configuration. False, with *problem ("PATH não existe", "PATH não é um arquivo comum",
// "PATH: sem permissão de leitura"), when it cannot be read.
bool openRegularFile(QFile &file, QString *problem);

// The file's path as the system writes it.
QString shownPath(const QString &path);
