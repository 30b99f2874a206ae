#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>

#include <optional>

// "FIRST-LAST", two IPv4 addresses: every address from the first to the last, both included,
// counting on across octets (127.1.0.255 is followed by 127.1.1.0). Nothing when the text is not
// such a range, the last comes before the first, or the range holds more than `largest`.
std::optional<QList<QHostAddress>> addressRange(const QString &text, int largest);
