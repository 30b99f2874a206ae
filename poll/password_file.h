#pragma once

#include "poll/polled_station.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// The controllers' passwords for comzelta-poll, from poll.ini in the data directory:
//   [geral]
//   senha = the password of every station not named below
//   [postos]
//   Posto Centro = the password of this station (its description)
//   [chaves]
//   rede-sul = the password of the fleet file's stations with this password key
// A station's own entry wins over its key, and its key over the default. Descriptions and keys
// match whatever their case; values run from after the first '=' to the end of the line, blanks
// around them dropped. Lines starting with '#' or ';' are comments.
class PasswordBook {
public:
    struct Lookup {
        std::optional<QString> password;
        QString problem;  // why there is none, in Portuguese
    };
    Lookup passwordFor(const PolledStation &station) const;

    // False, changing nothing, when the entry is already there.
    bool setDefault(const QString &password);
    bool addStation(const QString &description, const QString &password);
    bool addKey(const QString &key, const QString &password);

private:
    std::optional<QString> fallback_;
    QHash<QString, QString> byStation_;
    QHash<QString, QString> byKey_;
};

struct PasswordLoad {
    PasswordBook book;
    QStringList problems;  // in Portuguese; any problem refuses the file
};

PasswordLoad parsePasswords(const QString &text);

// The problem with a file of passwords that others may read, naming the fix; empty when only its
// owner can (always empty where files have no POSIX permissions).
QString exposedFileProblem(const QString &path);

// poll.ini in the data directory (ending with a separator): refused when missing, unreadable or
// readable by others.
PasswordLoad readPasswordFile(const QString &dataDirectory);

inline constexpr const char *PasswordFileName = "poll.ini";
