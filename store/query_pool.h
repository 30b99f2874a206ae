#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <map>
#include <memory>

// Statements prepared once for a connection and lent out one use at a time: the daily book asks
// the same few questions for every day of a month, and preparing them anew each time cost more
// than answering them. A statement comes back finished when its use ends, as a query of its own
// would be destroyed, so no result is left open between uses.
class QueryPool {
public:
    using Statements = std::multimap<QString, QSqlQuery>;

    // One use of a prepared statement; the pool takes it back, finished, when this ends.
    class Lent {
    public:
        Lent(std::shared_ptr<Statements> pool, QString sql, QSqlQuery query);
        Lent(Lent &&other) noexcept = default;
        Lent &operator=(Lent &&other) noexcept = default;
        ~Lent();

        QSqlQuery &query() { return query_; }
        bool next() { return query_.next(); }
        QVariant value(int column) const { return query_.value(column); }
        int numRowsAffected() const { return query_.numRowsAffected(); }
        QSqlError lastError() const { return query_.lastError(); }

    private:
        std::shared_ptr<Statements> pool_;
        QString sql_;
        QSqlQuery query_;
    };

    explicit QueryPool(const QSqlDatabase &db);

    // The statement, prepared now unless a finished one is at hand; its error when it cannot be.
    Lent lend(const QString &sql, QSqlError *error) const;

private:
    QSqlDatabase db_;
    std::shared_ptr<Statements> statements_;
};
