#pragma once

#include <QString>

#include <optional>

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

struct ParsedDatabaseLocation {
    std::optional<DatabaseLocation> location;
    QString error;  // why the text names no database, in Portuguese
};

// A postgresql:// (or postgres://) URL; anything else is refused, since a file is given as one.
ParsedDatabaseLocation parseDatabaseUrl(const QString &text);
