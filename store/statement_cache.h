#pragma once

#include "base/result.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QString>

#include <map>
#include <memory>

// The writer connection's statements, each prepared the first time it is needed and kept: on
// PostgreSQL every preparation (and its release) is a round trip to the server, so a statement
// run for each call of a fleet's round is prepared once instead. Dropped after their connection
// is closed, they release nothing on the server: its session took them with it.
class StatementCache {
public:
    explicit StatementCache(const QString &connectionName);

    const QString &connectionName() const { return connectionName_; }
    // Ready to bind and run.
    Result<QSqlQuery *, QSqlError> prepared(const QString &sql);
    // Runs a statement prepared here with these values in order.
    Result<QSqlQuery *, QSqlError> run(const QString &sql, std::initializer_list<QVariant> values);
    // Lets go of every result still open, before the transaction ends.
    void finishAll();

private:
    QString connectionName_;
    std::map<QString, std::unique_ptr<QSqlQuery>> statements_;
};
