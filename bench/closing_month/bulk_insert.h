#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>

// Rows of one table written many to a statement, so that a month of a fleet goes in within
// seconds on either engine: the generator's shortcut, not the store's way of writing.
class BulkInsert {
public:
    // The rows of `parents` go first, so that a row never precedes the rows it refers to.
    BulkInsert(const QSqlDatabase &db, const QString &table, const QStringList &columns,
               const QList<BulkInsert *> &parents = {});

    // False, after saying why on stderr, when the engine refused a statement.
    bool add(const QVariantList &row);
    bool flush();

private:
    bool write(QSqlQuery &query, qsizetype rows);
    QString statement(qsizetype rows) const;

    QSqlDatabase db_;
    QString table_;
    QStringList columns_;
    QList<BulkInsert *> parents_;
    QSqlQuery full_;
    QVariantList pending_;
};
