#pragma once

#include "base/result.h"
#include "closing/day_figures.h"
#include "closing/invoice_entry.h"
#include "closing/month_figures.h"
#include "store/closing_tables.h"
#include "store/history_queries.h"

#include <QDate>
#include <QSqlDatabase>
#include <QTimeZone>

#include <functional>
#include <variant>

// An invoice line set against what the gauge saw arrive in its tanks that day; or a delivery no
// invoice names (no number, nothing invoiced).
struct InvoiceMatch {
    QString number;
    QString supplier;
    QString product;
    double invoiced = 0;               // litres
    std::optional<double> measured;    // the matched deliveries' rise, in the book's basis
    std::optional<double> difference;  // measured − invoiced: negative is a short delivery
};

// A day as the book shows it: computed from the records while open, as kept once closed.
struct BookDay {
    DayFigures figures;
    bool closed = false;
    QDateTime closedAt;  // UTC; invalid while open
    BookAuthor closedBy;
    bool divergentOpening = false;
    QList<InvoiceMatch> invoices;
};

// Why a day was not closed or reopened.
struct CloseRefusal {
    enum Kind {
        Engine,
        NotClosable,   // problems: what is missing
        AlreadyClosed,
        NotClosed,
        NotOver,       // ends: the closing hour that ends the day is still to come
    };
    Kind kind = Engine;
    QList<ClosingProblem> problems;
    QSqlError error;
    QDateTime ends;
};

// Why a day's totalisers, prices or dipstick readings were left as they were: a closed day
// changes only once reopened, and a totaliser belongs to a nozzle of the station.
struct InputRefusal {
    enum Kind {
        Engine,
        DayClosed,      // day
        UnknownNozzle,  // day, nozzle
    };
    Kind kind = Engine;
    QDate day;
    int nozzle = 0;
    QSqlError error;
};

// Why an invoice file did not enter the book: the file itself (addressed elsewhere, imported
// already), where it goes, or the engine.
using EntryRefusal = std::variant<InvoiceProblem, EntryProblem, QSqlError>;

// One station's daily book on an open connection: its days computed from the readings,
// invoices and totalisers the history holds, closed, reopened and summed by month.
class ClosingBook {
public:
    ClosingBook(const QSqlDatabase &db, qint64 stationId, const QTimeZone &zone);

    Result<BookDay, QSqlError> day(QDate date, const QMap<QString, QString> &justifications = {});
    Result<void, CloseRefusal> close(QDate date, const QMap<QString, QString> &justifications, const BookAuthor &author);
    Result<void, CloseRefusal> reopen(QDate date, const BookAuthor &author, const QString &reason);
    // Each taken whole, or none.
    Result<void, InputRefusal> storeTotalisers(const QList<TotaliserRecord> &rows);
    Result<void, InputRefusal> storePrices(const QList<PriceRecord> &rows);
    Result<void, InputRefusal> storeDipstick(QDate day, const DipstickRecord &reading);
    // Checks the invoice against the station's CNPJ, places it (invoice_entry.h) and keeps it,
    // unless its day is closed.
    Result<InvoiceRecord, EntryRefusal> enterInvoice(const Invoice &invoice, std::optional<QDate> day,
                                                     std::optional<int> typedTank);
    // Every day of the month up to `until`, by product.
    Result<QList<MonthProduct>, QSqlError> month(QDate firstDay, QDate until);

    ClosingTables &tables() { return tables_; }
    const QTimeZone &zone() const { return zone_; }
    Result<ClosingSettings, QSqlError> settings() const { return tables_.settings(); }

private:
    // The deliveries no invoice entered yet has taken: one delivery is one invoice's, so a
    // second invoice of the same litres is not matched against it again.
    Result<QList<DeliveryRecord>, QSqlError> unclaimed(const QList<DeliveryRecord> &deliveries, QTime closingHour) const;
    // Runs `keep` unless one of the days is closed.
    Result<void, InputRefusal> keepIfOpen(const QList<QDate> &days, const std::function<Result<void, QSqlError>()> &keep);
    // The first of the days given that is closed, if any.
    Result<std::optional<QDate>, QSqlError> closedAmong(const QList<QDate> &days) const;
    Result<QList<StoredTank>, QSqlError> stationTanks();
    Result<DayInputs, QSqlError> inputs(QDate date, const ClosingSettings &settings);
    Result<std::optional<StockSnapshot>, QSqlError> stockAtStart(QDate date, const ClosingSettings &settings,
                                                                  const QList<int> &tanks);
    // The stock at a closing hour, from the gauge, or else the dipstick readings typed for the
    // day that hour closes.
    Result<std::optional<StockSnapshot>, QSqlError> stockAtHour(QDate closedDate, const QDateTime &instant,
                                                               const ClosingSettings &settings, const QList<int> &tanks);
    Result<QList<InvoiceMatch>, QSqlError> invoiceMatches(const DayInputs &inputs, const ClosingSettings &settings);

    // The readings a month's days share, read once for the whole month while month() runs: a day
    // at a time, the book asked the engine the same questions some thirty times over.
    struct MonthRecords {
        QDateTime from;  // UTC, both included
        QDateTime to;
        QList<InventoryRecord> inventories;
        QList<DeliveryRecord> deliveries;
        QList<StoredTank> tanks;
        ClosingSettings settings;
        QList<NozzleRecord> nozzles;
        QMap<QDate, std::optional<ClosedDay>> closed;  // as each day is asked for
        QMap<QDate, QList<InvoiceRecord>> invoices;
    };
    Result<QList<InventoryRecord>, QSqlError> inventoriesBetween(const QDateTime &from, const QDateTime &to);
    // Those that ended from `from` up to, not including, `to`.
    Result<QList<DeliveryRecord>, QSqlError> deliveriesBetween(const QDateTime &from, const QDateTime &to);
    bool spanCovers(const QDateTime &from, const QDateTime &to) const;
    Result<ClosingSettings, QSqlError> currentSettings() const;
    Result<QList<NozzleRecord>, QSqlError> stationNozzles() const;
    Result<std::optional<ClosedDay>, QSqlError> closedDay(QDate date);
    Result<QList<InvoiceRecord>, QSqlError> invoicesOf(QDate date);

    QSqlDatabase db_;
    qint64 stationId_;
    QTimeZone zone_;
    ClosingTables tables_;
    std::optional<MonthRecords> span_;
};
