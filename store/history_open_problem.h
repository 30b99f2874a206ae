#pragma once

#include <QString>

// Why the history could not be opened; the operator's words are historyOpenProblemText's.
struct HistoryOpenProblem {
    enum class Kind {
        DriverMissing,   // detail: the Qt SQL driver's name
        FolderMissing,   // where: the folder the file would be in
        Unusable,        // detail: why, as writeFailure words it; where, when the file is named
        NewerVersion,    // where: the history's name; version
        Unreachable,     // where: the history's name; detail: the server's own words
        NoSuchDatabase,  // as Unreachable, but waiting will not mend it
    };

    Kind kind = Kind::Unusable;
    QString where;
    QString detail;
    int version = 0;
    bool onServer = false;  // for NewerVersion: a PostgreSQL database, not a file

    // Waiting will not mend it: the history names a database that is not there.
    bool misconfigured() const { return kind == Kind::NoSuchDatabase; }
};

QString historyOpenProblemText(const HistoryOpenProblem &problem);
