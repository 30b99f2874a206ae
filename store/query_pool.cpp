#include "store/query_pool.h"

QueryPool::Lent::Lent(std::shared_ptr<Statements> pool, QString sql, QSqlQuery query)
    : pool_(std::move(pool)), sql_(std::move(sql)), query_(std::move(query))
{
}

QueryPool::Lent::~Lent()
{
    if (!pool_)
        return;
    query_.finish();
    pool_->emplace(std::move(sql_), std::move(query_));
}

QueryPool::QueryPool(const QSqlDatabase &db) : db_(db), statements_(std::make_shared<Statements>()) {}

QueryPool::Lent QueryPool::lend(const QString &sql, QSqlError *error) const
{
    if (const auto kept = statements_->find(sql); kept != statements_->end()) {
        QSqlQuery query = std::move(kept->second);
        statements_->erase(kept);
        return Lent(statements_, sql, std::move(query));
    }
    QSqlQuery query(db_);
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        *error = query.lastError();
        return Lent(nullptr, sql, std::move(query));
    }
    return Lent(statements_, sql, std::move(query));
}
