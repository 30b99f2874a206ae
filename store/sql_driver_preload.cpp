#include "store/sql_driver_preload.h"

#include "store/sql_dialect.h"

#include <QSqlDatabase>

void preloadSqlDriver(const DatabaseLocation &location)
{
    const QString driver = location.isPostgres() ? postgresDialect().driver : sqliteDialect().driver;
    if (!QSqlDatabase::isDriverAvailable(driver))
        return;  // the store says so when it opens the database
    const QString connection = QStringLiteral("comzelta-preload-") + driver;
    // Adding a connection creates the driver; nothing is opened.
    QSqlDatabase::addDatabase(driver, connection);
    QSqlDatabase::removeDatabase(connection);
}
