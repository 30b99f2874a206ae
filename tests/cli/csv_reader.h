#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// RFC 4180 records: fields split on commas, quoted fields may hold commas, CR, LF and doubled
// quotes; records end with CRLF. Nothing when the text breaks those rules.
std::optional<QList<QStringList>> readCsv(const QByteArray &utf8);
