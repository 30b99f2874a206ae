#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// RFC 4180 records: fields split on the separator, quoted fields may hold the separator, CR, LF
// and doubled quotes; records end with CRLF. Nothing when the text breaks those rules.
std::optional<QList<QStringList>> readCsv(const QByteArray &utf8, QChar separator = QLatin1Char(','));
