#pragma once

#include <QSqlError>
#include <QString>

// Why the history could not be written; writeFailureText words it for the status line
// "Histórico indisponível: <reason>".
struct WriteFailure {
    enum class Kind {
        ServerDiskFull,
        ServerReadOnly,
        NoPermission,
        ServerUnreachable,
        DataRejected,
        DiskFull,
        FileReadOnly,
        FileLocked,
        DiskIo,
        CantOpen,
        NotAHistory,
        Other,
    };
    Kind kind = Kind::Other;
    QString said;  // the database's own words, where they are quoted
    // The work itself cannot be written (a constraint the data breaks): retrying would fail the
    // same way, so it is dropped instead of holding up everything behind it.
    bool workAtFault = false;
};

WriteFailure writeFailure(const QSqlError &error);
