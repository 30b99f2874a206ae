#include "closing_month/bulk_insert.h"

#include <QSqlError>

#include <cstdio>

namespace {

// Well under SQLite's 32,766 variables and PostgreSQL's 65,535 parameters.
constexpr qsizetype RowsPerStatement = 200;

} // namespace

BulkInsert::BulkInsert(const QSqlDatabase &db, const QString &table, const QStringList &columns,
                       const QList<BulkInsert *> &parents)
    : db_(db), table_(table), columns_(columns), parents_(parents), full_(db)
{
    full_.prepare(statement(RowsPerStatement));
}

QString BulkInsert::statement(qsizetype rows) const
{
    QStringList marks(columns_.size(), QStringLiteral("?"));
    const QString row = QLatin1Char('(') + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(table_, columns_.join(QLatin1Char(',')), QStringList(rows, row).join(QLatin1Char(',')));
}

bool BulkInsert::write(QSqlQuery &query, qsizetype rows)
{
    for (BulkInsert *parent : parents_)
        if (!parent->flush())
            return false;
    for (qsizetype i = 0; i < rows * columns_.size(); ++i)
        query.addBindValue(pending_.at(i));
    if (!query.exec()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(table_), qPrintable(query.lastError().text()));
        return false;
    }
    pending_.clear();
    return true;
}

bool BulkInsert::add(const QVariantList &row)
{
    pending_ << row;
    if (pending_.size() < RowsPerStatement * columns_.size())
        return true;
    return write(full_, RowsPerStatement);
}

bool BulkInsert::flush()
{
    if (pending_.isEmpty())
        return true;
    QSqlQuery tail(db_);
    if (!tail.prepare(statement(pending_.size() / columns_.size()))) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(table_), qPrintable(tail.lastError().text()));
        return false;
    }
    return write(tail, pending_.size() / columns_.size());
}
