#include "stored_rows.h"

#include "store/history_file.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

const QString ConnectionName = QStringLiteral("bench_poll_fleet_rows");
constexpr int BusyTimeoutMs = 5000;

} // namespace

std::optional<StoredRows> countStoredRows(const DatabaseLocation &location, QString *why)
{
    if (const auto opened = openForReading(ConnectionName, location, BusyTimeoutMs); !opened) {
        *why = historyOpenProblemText(opened.error());
        return std::nullopt;
    }
    StoredRows rows;
    const std::pair<qint64 *, const char *> counts[] = {
        {&rows.measurements, "SELECT COUNT(*) FROM measurement"},
        {&rows.inventories, "SELECT COUNT(*) FROM inventory"},
        {&rows.inventoryItems, "SELECT COUNT(*) FROM inventory_item"},
        {&rows.sensorReadings, "SELECT COUNT(*) FROM sensor_reading"},
        {&rows.failedPolls, "SELECT COUNT(*) FROM event WHERE kind = 'poll_failed'"},
    };
    bool ok = true;
    {
        QSqlQuery query(QSqlDatabase::database(ConnectionName, false));
        for (const auto &[count, sql] : counts) {
            ok = query.exec(QString::fromLatin1(sql)) && query.next();
            if (!ok) {
                *why = QStringLiteral("%1: %2").arg(QString::fromLatin1(sql), query.lastError().text());
                break;
            }
            *count = query.value(0).toLongLong();
        }
    }
    closeConnection(ConnectionName);
    if (!ok)
        return std::nullopt;
    return rows;
}
