#include "store/statement_cache.h"

#include <QSqlDatabase>

StatementCache::StatementCache(const QString &connectionName) : connectionName_(connectionName) {}

QSqlQuery *StatementCache::prepared(const QString &sql, QSqlError *error)
{
    std::unique_ptr<QSqlQuery> &statement = statements_[sql];
    if (!statement) {
        auto query = std::make_unique<QSqlQuery>(QSqlDatabase::database(connectionName_, false));
        query->setForwardOnly(true);
        if (!query->prepare(sql)) {
            *error = query->lastError();
            statements_.erase(sql);
            return nullptr;
        }
        statement = std::move(query);
    }
    return statement.get();
}

QSqlQuery *StatementCache::run(const QString &sql, std::initializer_list<QVariant> values, QSqlError *error)
{
    QSqlQuery *query = prepared(sql, error);
    if (!query)
        return nullptr;
    int position = 0;
    for (const QVariant &value : values)
        query->bindValue(position++, value);
    if (!query->exec()) {
        *error = query->lastError();
        return nullptr;
    }
    return query;
}

void StatementCache::finishAll()
{
    for (auto &entry : statements_)
        entry.second->finish();
}
