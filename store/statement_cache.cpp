#include "store/statement_cache.h"

#include <QSqlDatabase>

StatementCache::StatementCache(const QString &connectionName) : connectionName_(connectionName) {}

Result<QSqlQuery *, QSqlError> StatementCache::prepared(const QString &sql)
{
    std::unique_ptr<QSqlQuery> &statement = statements_[sql];
    if (!statement) {
        auto query = std::make_unique<QSqlQuery>(QSqlDatabase::database(connectionName_, false));
        query->setForwardOnly(true);
        if (!query->prepare(sql)) {
            const QSqlError error = query->lastError();
            statements_.erase(sql);
            return failure(error);
        }
        statement = std::move(query);
    }
    return statement.get();
}

Result<QSqlQuery *, QSqlError> StatementCache::run(const QString &sql, std::initializer_list<QVariant> values)
{
    const Result<QSqlQuery *, QSqlError> query = prepared(sql);
    if (!query)
        return query;
    int position = 0;
    for (const QVariant &value : values)
        (*query)->bindValue(position++, value);
    if (!(*query)->exec())
        return failure((*query)->lastError());
    return query;
}

void StatementCache::finishAll()
{
    for (auto &entry : statements_)
        entry.second->finish();
}
