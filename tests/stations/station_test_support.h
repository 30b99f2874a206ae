#pragma once

#include "stations/station_list.h"
#include "stations/station_table.h"
#include "tests/support/file_helpers.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>

Q_DECLARE_METATYPE(StationEntry)
Q_DECLARE_METATYPE(ListedStation)

// A field as the file holds it: the Windows-1252 bytes padded to 30 columns.
inline QByteArray padded(const QByteArray &field)
{
    return field + QByteArray(30 - field.size(), ' ');
}

// Found by QCOMPARE through argument-dependent lookup, for readable failures.
inline char *toString(const StationEntry &local)
{
    return qstrdup(QStringLiteral("{%1|%2|%3}").arg(local.description, local.host, local.port).toUtf8());
}
inline char *toString(const ListedStation &posto)
{
    return qstrdup(QStringLiteral("{%1 -> %2}").arg(posto.description).arg(posto.entry).toUtf8());
}
