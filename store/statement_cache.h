#pragma once

#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <map>
#include <memory>

// The writer connection's statements, each prepared the first time it is needed and kept: on
// PostgreSQL every preparation (and its release) is a round trip to the server, so a statement
// run for each call of a fleet's round is prepared once instead.
class StatementCache {
public:
    explicit StatementCache(const QString &connectionName);

    const QString &connectionName() const { return connectionName_; }
    // Ready to bind and run; nothing (and *error set) when it cannot be prepared.
    QSqlQuery *prepared(const QString &sql, QSqlError *error);
    // Runs a statement prepared here with these values in order; nothing (and *error) on failure.
    QSqlQuery *run(const QString &sql, std::initializer_list<QVariant> values, QSqlError *error);
    // Lets go of every result still open, before the transaction ends.
    void finishAll();

private:
    QString connectionName_;
    std::map<QString, std::unique_ptr<QSqlQuery>> statements_;
};
