#pragma once

#include <QByteArray>
#include <string>

// The protocol speaks std::string; QtTest rows speak QByteArray.
inline QByteArray bytes(const std::string &text)
{
    return QByteArray::fromStdString(text);
}

inline QByteArray hex(const char *digits)
{
    return QByteArray::fromHex(digits);
}
