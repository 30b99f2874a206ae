#pragma once

#include "config/station_table.h"

#include <QString>
#include <QVector>

#include <optional>

// Only the first 40 items of the file matter; anything this large is not a station list.
constexpr qint64 MaxStationFileBytes = 1024 * 1024;

// The first 40 items of the station file, each split into its three trimmed columns. Fails,
// with the reason in *error, when the file is missing, not a regular file, unreadable or too large.
std::optional<QVector<Local>> readStationItems(const QString &filePath, QString *error = nullptr);
