#pragma once

#include "config/station_list.h"
#include "config/station_table.h"
#include "file_helpers.h"

#include <QByteArray>
#include <QMetaType>
#include <QString>

Q_DECLARE_METATYPE(Local)
Q_DECLARE_METATYPE(PostoListado)

// A field as the file holds it: the Windows-1252 bytes padded to 30 columns.
inline QByteArray padded(const QByteArray &field)
{
    return field + QByteArray(30 - field.size(), ' ');
}

// Found by QCOMPARE through argument-dependent lookup, for readable failures.
inline char *toString(const Local &local)
{
    return qstrdup(QStringLiteral("{%1|%2|%3}").arg(local.Descricao, local.IP, local.Port).toUtf8());
}
inline char *toString(const PostoListado &posto)
{
    return qstrdup(QStringLiteral("{%1 -> %2}").arg(posto.Descricao).arg(posto.Entrada).toUtf8());
}
