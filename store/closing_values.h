#pragma once

// The book tables' conversions between stored values and their types, shared by the files of
// ClosingTables and by nothing else.

#include "store/closing_tables.h"

#include <QDate>
#include <QVariant>

#include <optional>

namespace closing_values {

inline QString dayText(QDate day)
{
    return day.toString(Qt::ISODate);
}

inline std::optional<double> number(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    return value.toDouble();
}

inline std::optional<int> whole(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    return value.toInt();
}

inline QVariant nullable(const std::optional<double> &value)
{
    return value ? QVariant(*value) : QVariant(QMetaType(QMetaType::Double));
}

inline QVariant nullable(const std::optional<int> &value)
{
    return value ? QVariant(*value) : QVariant(QMetaType(QMetaType::Int));
}

inline BookRefusal engine(const QSqlError &error)
{
    return {BookRefusal::Engine, error};
}

// A unique key met: on PostgreSQL (23505) when another program's transaction committed the
// same row first; on SQLite (2067, 1555) hardly ever, since its write lock serialises the two.
inline BookRefusal refusal(const QSqlError &error, BookRefusal::Kind duplicate)
{
    const QString code = error.nativeErrorCode();
    const bool unique = code == QLatin1String("23505") || code == QLatin1String("2067") || code == QLatin1String("1555");
    return {unique ? duplicate : BookRefusal::Engine, error};
}

} // namespace closing_values
