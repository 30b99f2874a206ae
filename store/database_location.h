#pragma once

#include "base/result.h"

#include <QString>

// Where the history lives: the SQLite file (the default, beside the station list) or a
// PostgreSQL database named by a URL, postgresql://USER@HOST:PORT/DATABASE, or with
// ?host=/SOCKET/DIRECTORY for a Unix socket. No password is ever taken from the URL: libpq finds
// it in PGPASSFILE or ~/.pgpass, so it never shows on a command line.
struct DatabaseLocation {
    // A file path converts on its own, so every place that named the file still names it.
    DatabaseLocation(const QString &filePath = {}) : filePath(filePath) {}

    bool isPostgres() const { return !databaseName.isEmpty(); }
    // The file, or the URL without any password, for messages and --help.
    QString displayName() const;

    QString filePath;      // SQLite only
    QString host;          // PostgreSQL: a name, an address or a socket directory; empty: libpq's default
    int port = -1;         // -1: libpq's default
    QString userName;      // empty: libpq's default (the login name)
    QString databaseName;  // set for PostgreSQL only
};

// Why a text names no database; databaseUrlProblemText words it.
struct DatabaseUrlProblem {
    enum class Kind {
        Malformed,      // QUrl cannot read it; atFault is QUrl's reason
        NotPostgres,    // another scheme, or a file path
        PasswordGiven,  // atFault is empty, so the password is never repeated
        Fragment,
        NoDatabase,
        UnknownOption,  // atFault is the option's name
        HostTwice,      // a host and host=, or an empty host=
    };
    Kind kind = Kind::Malformed;
    QString atFault;  // the URL itself unless said otherwise
};

// A postgresql:// (or postgres://) URL; anything else is refused, since a file is given as one.
Result<DatabaseLocation, DatabaseUrlProblem> parseDatabaseUrl(const QString &text);
