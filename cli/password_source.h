#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

struct PasswordSource {
    std::optional<QByteArray> password;  // Windows-1252, as the controller compares it
    QString error;                       // why there is none, in Portuguese
};

// The first line of `passwordFile` when one is given, else the environment variable's value.
// Never an argument: arguments show in the process list.
PasswordSource readPassword(const QString &passwordFile, const std::optional<QString> &environmentValue);

inline constexpr const char *PasswordVariable = "COMZELTA_PASSWORD";
