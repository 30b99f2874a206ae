#pragma once

#include "book/book_print.h"
#include "book/book_setup.h"
#include "closing/closing_book.h"
#include "store/database_location.h"
#include "store/history_queries.h"

#include <QObject>
#include <QThread>

#include <functional>

// The book window's questions, asked of closing/ on a thread and a connection of their own, since
// the history may be a remote server: each request*() returns a request number at once, and the
// answer comes later as a signal carrying it, in the order asked. A history that cannot be opened
// or answer says so through failed(); until a history file exists, every answer is an empty list
// of stations.
class BookWorker : public QObject {
    Q_OBJECT
public:
    explicit BookWorker(const DatabaseLocation &location, QObject *parent = nullptr);
    // Waits for the question being answered, if any; the others are dropped.
    ~BookWorker() override;

    int requestStations();
    int requestDay(const StoredStation &station, QDate day, const QMap<QString, QString> &justifications);
    int requestClose(const StoredStation &station, QDate day, const QMap<QString, QString> &justifications,
                     const BookAuthor &author);
    int requestReopen(const StoredStation &station, QDate day, const BookAuthor &author, const QString &reason);
    int requestAudit(const StoredStation &station, QDate day);
    // What the day's printed book is made of.
    int requestPrintable(const StoredStation &station, QDate day);
    // The month of the day, up to it, and which of its days are closed.
    int requestMonth(const StoredStation &station, QDate day);
    int requestSetup(const StoredStation &station);
    // The settings, the nozzles, then each product's mapping; done() once all are kept.
    int requestSaveSetup(const StoredStation &station, const BookSetup &setup);
    int requestTotalisers(const StoredStation &station, const QList<TotaliserRecord> &rows);
    // Each invoice, by its file's path, placed by the book in the day its deliveries show; then done().
    int requestInvoices(const StoredStation &station, const QList<std::pair<QString, Invoice>> &invoices);

signals:
    void stationsReady(int requestId, const QList<StoredStation> &stations);
    void dayReady(int requestId, const BookDay &day);
    void auditReady(int requestId, const QList<AuditRecord> &records);
    void printableReady(int requestId, const BookPrintInput &printable);
    void monthReady(int requestId, const QList<MonthProduct> &month, const QList<QDate> &closedDays);
    void setupReady(int requestId, const BookSetup &setup);
    void invoiceEntered(int requestId, const QString &path, const InvoiceRecord &record);
    void invoiceRefused(int requestId, const QString &path, const EntryRefusal &refusal);
    // A close, reopening or input the book took.
    void done(int requestId);
    void closeRefused(int requestId, const CloseRefusal &refusal);
    void inputRefused(int requestId, const InputRefusal &refusal);
    void failed(int requestId, const QString &reason);

private:
    // Runs `job` on the worker's thread with the station's book; what it returns is then run here.
    using Answer = std::function<void()>;
    int ask(const std::function<Answer(QSqlDatabase &db, int requestId)> &job);
    // On thread_: the history opened if it is not, and the job run on it.
    Answer answer(const std::function<Answer(QSqlDatabase &db, int requestId)> &job, int requestId);
    int askBook(const StoredStation &station, const std::function<Answer(ClosingBook &book, int requestId)> &job);
    Answer failure(int requestId, const QSqlError &error);
    // A close or a reopening: done, refused, or the engine's failure.
    Answer closeAnswer(int requestId, const Result<void, CloseRefusal> &result);

    QThread thread_;
    QObject *context_;  // lives on thread_
    DatabaseLocation location_;
    QString connectionName_;
    bool open_ = false;          // on thread_ only
    bool engineFailed_ = false;  // on thread_ only: the job's question failed
    int lastRequest_ = 0;
};
