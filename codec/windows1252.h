#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <string_view>

// The controller and the station file speak single-byte Windows-1252 text; widgets speak QString.
// Conversions happen here, at the boundary, and nowhere else.
QString fromWindows1252(std::string_view bytes);
inline QString fromWindows1252(const QByteArray &bytes)
{
    return fromWindows1252(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}
// Characters with no Windows-1252 byte become '?'.
std::string toWindows1252(const QString &text);
