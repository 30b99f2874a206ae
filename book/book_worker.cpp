#include "book/book_worker.h"

#include "store/history_file.h"
#include "store/sql_driver_preload.h"
#include "store/store_texts.h"
#include "store/write_failure.h"

#include <QFileInfo>
#include <QTimeZone>

BookWorker::BookWorker(const DatabaseLocation &location, QObject *parent)
    : QObject(parent), context_(new QObject), location_(location),
      connectionName_(QStringLiteral("comzelta-book-%1").arg(quintptr(this), 0, 16))
{
    thread_.setObjectName(QStringLiteral("BookWorker"));
    context_->moveToThread(&thread_);
    // The connection belongs to the thread: closed there, once its last question is answered.
    connect(&thread_, &QThread::finished, context_, [name = connectionName_] { closeConnection(name); },
            Qt::DirectConnection);
    connect(&thread_, &QThread::finished, context_, &QObject::deleteLater);
    preloadSqlDriver(location);
    thread_.start();
}

BookWorker::~BookWorker()
{
    thread_.quit();
    thread_.wait();
}

int BookWorker::ask(const std::function<Answer(QSqlDatabase &db, int requestId)> &job)
{
    const int requestId = ++lastRequest_;
    QMetaObject::invokeMethod(context_, [this, job, requestId] {
        QMetaObject::invokeMethod(this, answer(job, requestId), Qt::QueuedConnection);
    }, Qt::QueuedConnection);
    return requestId;
}

BookWorker::Answer BookWorker::answer(const std::function<Answer(QSqlDatabase &db, int requestId)> &job, int requestId)
{
    // No station has been read yet, so there is nothing to ask about; opening would make the file.
    if (!location_.isPostgres() && !QFileInfo::exists(location_.filePath))
        return [this, requestId] { emit stationsReady(requestId, {}); };
    if (!open_) {
        const Result<void, HistoryOpenProblem> opened = openForWriting(connectionName_, location_, WriteConnectionSettings{});
        if (!opened) {
            closeConnection(connectionName_);
            return [this, requestId, reason = historyOpenProblemText(opened.error())] { emit failed(requestId, reason); };
        }
        open_ = true;
    }
    Answer answer;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        answer = job(db, requestId);
    }
    // A server that went away is dialled again at the next question.
    if (engineFailed_) {
        closeConnection(connectionName_);
        open_ = false;
        engineFailed_ = false;
    }
    return answer;
}

int BookWorker::askBook(const StoredStation &station, const std::function<Answer(ClosingBook &book, int requestId)> &job)
{
    return ask([station, job](QSqlDatabase &db, int requestId) {
        ClosingBook book(db, station.id, QTimeZone(station.timeZone.toUtf8()));
        return job(book, requestId);
    });
}

BookWorker::Answer BookWorker::failure(int requestId, const QSqlError &error)
{
    engineFailed_ = true;
    return [this, requestId, reason = writeFailureText(writeFailure(error))] { emit failed(requestId, reason); };
}

BookWorker::Answer BookWorker::closeAnswer(int requestId, const Result<void, CloseRefusal> &result)
{
    if (result)
        return [this, requestId] { emit done(requestId); };
    if (result.error().kind == CloseRefusal::Engine)
        return failure(requestId, result.error().error);
    return [this, requestId, refusal = result.error()] { emit closeRefused(requestId, refusal); };
}

int BookWorker::requestStations()
{
    return ask([this](QSqlDatabase &db, int requestId) -> Answer {
        const Result<QList<StoredStation>, QSqlError> stations = queryStations(db);
        if (!stations)
            return failure(requestId, stations.error());
        return [this, requestId, found = *stations] { emit stationsReady(requestId, found); };
    });
}

int BookWorker::requestDay(const StoredStation &station, QDate day, const QMap<QString, QString> &justifications)
{
    return askBook(station, [this, day, justifications](ClosingBook &book, int requestId) -> Answer {
        const Result<BookDay, QSqlError> found = book.day(day, justifications);
        if (!found)
            return failure(requestId, found.error());
        return [this, requestId, shown = *found] { emit dayReady(requestId, shown); };
    });
}

int BookWorker::requestClose(const StoredStation &station, QDate day, const QMap<QString, QString> &justifications,
                             const BookAuthor &author)
{
    return askBook(station, [this, day, justifications, author](ClosingBook &book, int requestId) -> Answer {
        return closeAnswer(requestId, book.close(day, justifications, author));
    });
}

int BookWorker::requestReopen(const StoredStation &station, QDate day, const BookAuthor &author, const QString &reason)
{
    return askBook(station, [this, day, author, reason](ClosingBook &book, int requestId) -> Answer {
        return closeAnswer(requestId, book.reopen(day, author, reason));
    });
}

int BookWorker::requestAudit(const StoredStation &station, QDate day)
{
    return askBook(station, [this, day](ClosingBook &book, int requestId) -> Answer {
        const Result<QList<AuditRecord>, QSqlError> records = book.tables().audit(day);
        if (!records)
            return failure(requestId, records.error());
        return [this, requestId, found = *records] { emit auditReady(requestId, found); };
    });
}

int BookWorker::requestPrintable(const StoredStation &station, QDate day)
{
    return askBook(station, [this, station, day](ClosingBook &book, int requestId) -> Answer {
        const Result<BookDay, QSqlError> found = book.day(day);
        if (!found)
            return failure(requestId, found.error());
        const Result<QMap<QString, double>, QSqlError> prices = book.tables().prices(day);
        if (!prices)
            return failure(requestId, prices.error());
        const Result<ClosingSettings, QSqlError> settings = book.settings();
        if (!settings)
            return failure(requestId, settings.error());
        BookPrintInput printable{station.description, settings->cnpj, book.zone(), *found, *prices};
        return [this, requestId, printable] { emit printableReady(requestId, printable); };
    });
}

int BookWorker::requestMonth(const StoredStation &station, QDate day)
{
    return askBook(station, [this, day](ClosingBook &book, int requestId) -> Answer {
        const QDate first(day.year(), day.month(), 1);
        const Result<QList<MonthProduct>, QSqlError> month = book.month(first, day);
        if (!month)
            return failure(requestId, month.error());
        const Result<QList<QDate>, QSqlError> closed = book.tables().closedDays(first, day);
        if (!closed)
            return failure(requestId, closed.error());
        return [this, requestId, products = *month, days = *closed] { emit monthReady(requestId, products, days); };
    });
}

int BookWorker::requestTotalisers(const StoredStation &station, const QList<TotaliserRecord> &rows)
{
    return askBook(station, [this, rows](ClosingBook &book, int requestId) -> Answer {
        const Result<void, InputRefusal> stored = book.storeTotalisers(rows);
        if (stored)
            return [this, requestId] { emit done(requestId); };
        if (stored.error().kind == InputRefusal::Engine)
            return failure(requestId, stored.error().error);
        return [this, requestId, refusal = stored.error()] { emit inputRefused(requestId, refusal); };
    });
}

int BookWorker::requestInvoices(const StoredStation &station, const QList<std::pair<QString, Invoice>> &invoices)
{
    return askBook(station, [this, invoices](ClosingBook &book, int requestId) -> Answer {
        QList<Answer> answers;
        for (const auto &[path, invoice] : invoices) {
            const Result<InvoiceRecord, EntryRefusal> entered = book.enterInvoice(invoice, std::nullopt, std::nullopt);
            if (entered) {
                answers << [this, requestId, path = path, record = *entered] { emit invoiceEntered(requestId, path, record); };
                continue;
            }
            if (const QSqlError *error = std::get_if<QSqlError>(&entered.error()))
                return failure(requestId, *error);
            answers << [this, requestId, path = path, refusal = entered.error()] { emit invoiceRefused(requestId, path, refusal); };
        }
        answers << [this, requestId] { emit done(requestId); };
        return [answers] {
            for (const Answer &answer : answers)
                answer();
        };
    });
}

int BookWorker::requestSetup(const StoredStation &station)
{
    return askBook(station, [this](ClosingBook &book, int requestId) -> Answer {
        const Result<ClosingSettings, QSqlError> settings = book.settings();
        if (!settings)
            return failure(requestId, settings.error());
        const Result<QList<NozzleRecord>, QSqlError> nozzles = book.tables().nozzles();
        if (!nozzles)
            return failure(requestId, nozzles.error());
        const Result<QMap<QString, QString>, QSqlError> products = book.tables().productMapping();
        if (!products)
            return failure(requestId, products.error());
        return [this, requestId, setup = BookSetup{*settings, *nozzles, *products}] { emit setupReady(requestId, setup); };
    });
}

int BookWorker::requestSaveSetup(const StoredStation &station, const BookSetup &setup)
{
    return askBook(station, [this, setup](ClosingBook &book, int requestId) -> Answer {
        if (const Result<void, QSqlError> kept = book.tables().setSettings(setup.settings); !kept)
            return failure(requestId, kept.error());
        if (const Result<void, QSqlError> kept = book.tables().replaceNozzles(setup.nozzles); !kept)
            return failure(requestId, kept.error());
        for (auto product = setup.products.cbegin(); product != setup.products.cend(); ++product)
            if (const Result<void, QSqlError> kept = book.tables().mapProduct(product.key(), product.value()); !kept)
                return failure(requestId, kept.error());
        return [this, requestId] { emit done(requestId); };
    });
}
