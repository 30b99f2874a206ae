#include "store/sql_dialect.h"

namespace {

// Exactly `count` ASCII digits at `from`, or -1.
int digitsAt(QStringView text, qsizetype from, int count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// Days from 1970-01-01 to a proleptic Gregorian date (Howard Hinnant's days_from_civil): parsing
// by hand keeps a ten-year series from spending its time in a general date parser.
qint64 daysFromCivil(int year, int month, int day)
{
    year -= month <= 2;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const qint64 yearOfEra = year - era * 400;
    const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::optional<qint64> utcTextMs(QStringView text)
{
    // 0123456789012345678 9
    // YYYY-MM-DDTHH:MM:SS Z
    if (text.size() != 20 || text[4] != u'-' || text[7] != u'-' || text[10] != u'T' || text[13] != u':'
        || text[16] != u':' || text[19] != u'Z')
        return std::nullopt;
    const int year = digitsAt(text, 0, 4);
    const int month = digitsAt(text, 5, 2);
    const int day = digitsAt(text, 8, 2);
    const int hour = digitsAt(text, 11, 2);
    const int minute = digitsAt(text, 14, 2);
    const int second = digitsAt(text, 17, 2);
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0
        || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    const qint64 seconds = daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return seconds * 1000;
}

} // namespace

QString SqlDialect::ddl(const QString &statement) const
{
    QString text = statement;
    text.replace(QLatin1String("{id}"), identityType);
    text.replace(QLatin1String("{real}"), realType);
    text.replace(QLatin1String("{bool}"), boolType);
    text.replace(QLatin1String("{time}"), timeType);
    text.replace(QLatin1String("{without_rowid}"), withoutRowid);
    return text;
}

QVariant SqlDialect::timeValue(const QDateTime &utc) const
{
    if (!utc.isValid())
        return QVariant(QMetaType::fromType<QString>());
    return utc.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'"));
}

std::optional<qint64> SqlDialect::timeMs(const QVariant &stored) const
{
    if (stored.isNull())
        return std::nullopt;
    return utcTextMs(stored.toString());
}

QDateTime SqlDialect::time(const QVariant &stored) const
{
    const std::optional<qint64> ms = timeMs(stored);
    return ms ? QDateTime::fromMSecsSinceEpoch(*ms, Qt::UTC) : QDateTime();
}

const SqlDialect &sqliteDialect()
{
    static const SqlDialect dialect{
        QStringLiteral("QSQLITE"),
        QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = :name"),
        QStringLiteral("BEGIN IMMEDIATE"),
        QStringLiteral("INTEGER PRIMARY KEY"),
        QStringLiteral("REAL"),
        QStringLiteral("INTEGER"),
        QStringLiteral("TEXT"),
        QStringLiteral(" WITHOUT ROWID"),
    };
    return dialect;
}

const SqlDialect &dialectOf(const QSqlDatabase &db)
{
    Q_ASSERT(db.driverName() == sqliteDialect().driver);
    Q_UNUSED(db)
    return sqliteDialect();
}

QString notNullText(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}
