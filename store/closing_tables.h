#pragma once

#include "base/result.h"
#include "store/alarm_rows.h"
#include "store/closing_rows.h"
#include "store/query_pool.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QVariant>

#include <functional>
#include <initializer_list>
#include <utility>

// Why a change to the book was refused, beside an engine's failure.
struct BookRefusal {
    enum Kind {
        Engine,           // the database failed: error
        AlreadyImported,  // an invoice's access key is in the history already
        AlreadyClosed,    // the day is closed (perhaps by another program a moment ago)
        NotClosed,        // a reopening of a day that is open
    };
    Kind kind = Engine;
    QSqlError error;
};

// The daily book's tables for one station, on an open connection (history_file.h). Each change
// is one transaction, taken whole or not at all.
class ClosingTables {
public:
    ClosingTables(const QSqlDatabase &db, qint64 stationId);

    Result<ClosingSettings, QSqlError> settings() const;
    Result<void, QSqlError> setSettings(const ClosingSettings &settings);

    Result<QList<NozzleRecord>, QSqlError> nozzles() const;
    // The station's nozzles become these; one no longer listed is kept, inactive, for the days
    // already closed with it.
    Result<void, QSqlError> replaceNozzles(const QList<NozzleRecord> &nozzles);

    // The day's readings, by nozzle. A nozzle without an opening of its own opens at the
    // previous day's closing.
    Result<QMap<int, TotaliserRecord>, QSqlError> totalisers(QDate day) const;
    // Each row replaces the stored one of its day and nozzle.
    Result<void, QSqlError> storeTotalisers(const QList<TotaliserRecord> &rows);
    Result<void, QSqlError> storePrices(const QList<PriceRecord> &rows);
    Result<QMap<QString, double>, QSqlError> prices(QDate day) const;  // by product

    // The complete inventories taken from `from` to `to`, both included, by time.
    Result<QList<InventoryRecord>, QSqlError> inventories(const QDateTime &from, const QDateTime &to) const;
    Result<QList<DeliveryRecord>, QSqlError> deliveries(const QDateTime &from, const QDateTime &to) const;

    Result<QList<DipstickRecord>, QSqlError> dipsticks(QDate day) const;
    Result<void, QSqlError> storeDipstick(QDate day, const DipstickRecord &reading);

    // The supplier's name mapped to the controller's product, as the operator set it.
    Result<QMap<QString, QString>, QSqlError> productMapping() const;
    Result<void, QSqlError> mapProduct(const QString &supplierProduct, const QString &product);

    Result<QList<InvoiceRecord>, QSqlError> invoices(QDate day) const;
    // Whether an invoice of this access key is in the history, of any station.
    Result<bool, QSqlError> invoiceImported(const QString &accessKey) const;
    Result<qint64, BookRefusal> addInvoice(const InvoiceRecord &invoice);

    // Nothing when the day is open.
    Result<std::optional<ClosedDay>, QSqlError> closedDay(QDate day) const;
    // Marks the next closed day "abertura divergente" when this day's physical closing differs
    // from what it was when that day was closed.
    Result<void, BookRefusal> close(const ClosedDay &day);
    Result<void, BookRefusal> reopen(QDate day, const BookAuthor &author, const QString &reason);
    Result<QList<AuditRecord>, QSqlError> audit(QDate day) const;
    // Nothing before the first day is closed.
    Result<std::optional<QDate>, QSqlError> lastClosedDay() const;
    // The closed days from `from` to `to`, both included, by date.
    Result<QList<QDate>, QSqlError> closedDays(QDate from, QDate to) const;

    // The book's own alarms, kept as the writer's rules keep theirs: inside inTransaction(),
    // holdStation() first, so that two programs deciding at once never both raise one alarm.
    Result<void, QSqlError> holdStation();
    Result<AlarmState, QSqlError> alarmState(const QString &alarm, int subject) const;
    Result<void, QSqlError> setAlarmState(const QString &alarm, int subject, const AlarmState &now, const QDateTime &at);
    Result<void, QSqlError> addEvent(const QString &kind, const QString &detail, const QDateTime &at);
    // Runs `body` in one transaction, committed only when it succeeds.
    Result<void, QSqlError> inTransaction(const std::function<Result<void, QSqlError>()> &body);

private:
    using Bindings = std::initializer_list<std::pair<const char *, QVariant>>;
    Result<QueryPool::Lent, QSqlError> run(const QString &sql, Bindings bindings) const;
    Result<void, BookRefusal> transaction(const std::function<Result<void, BookRefusal>()> &body);
    Result<void, QSqlError> markNextDivergent(const ClosedDay &day);
    Result<void, QSqlError> storeLines(QDate day, const QList<ClosedLine> &lines);
    Result<QList<ClosedLine>, QSqlError> lines(QDate day) const;
    Result<void, QSqlError> addAudit(QDate day, const char *action, const BookAuthor &author, const QString &reason,
                                     const QString &linesBefore);
    QVariant timeValue(const QDateTime &utc) const;
    QDateTime time(const QVariant &stored) const;

    QSqlDatabase db_;
    qint64 stationId_;
    QueryPool statements_;  // shared by copies: one connection's
};
