#include "cli/book_command.h"

#include "cli/book_audit_report.h"
#include "cli/book_day_notes.h"
#include "cli/book_mapping_report.h"
#include "cli/book_report.h"
#include "cli/csv_report.h"
#include "cli/exit_codes.h"
#include "cli/text_report.h"
#include "alarms/alarm_rules.h"
#include "closing/book_author.h"
#include "closing/closing_texts.h"
#include "closing/loss_watch.h"
#include "codec/file_text.h"
#include "imports/day_rows.h"
#include "imports/nfe_reader.h"
#include "stations/station_paths.h"
#include "store/history_file.h"
#include "store/history_queries.h"
#include "store/history_store.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString Connection = QStringLiteral("comzelta-cli-book");

// The station's cumulative-loss limits from alarmes.ini, or the default without the file; nothing,
// and a word on it, while the file is broken, as the console and the poller say it.
std::optional<LevelLimits> lossLimits(const CliOptions &options, const StoredStation &station, QTextStream &err)
{
    const Result<std::shared_ptr<AlarmRules>, AlarmFileProblem> rules =
        loadAlarmRules(dataDirectoryOrDefault(options.dataDirectory));
    if (!rules) {
        err << "comzelta-cli: Alarmes desativados: " << alarmFileProblemText(rules.error()) << Qt::endl;
        return std::nullopt;
    }
    if (!*rules)
        return DefaultCumulativeLoss;
    return (*rules)->config().station({station.host, station.ofe}).cumulativeLoss.value_or(DefaultCumulativeLoss);
}

// A closed day's refusal, with the command that reopens it.
QString closedDayHint(QDate day)
{
    return closedDayText(day) + QStringLiteral(": reabra-o com \"reabrir --dia %1 --motivo …\" para mudá-lo")
                                    .arg(day.toString(Qt::ISODate));
}

// What one command does with the book, and where it prints.
class BookRun {
public:
    BookRun(const CliOptions &options, const StoredStation &stored, ClosingBook &book, QTextStream &out,
            QTextStream &err)
        : options_(options), book_(*options.book), station_(options.station), stored_(stored), closing_(book),
          out_(out), err_(err)
    {
    }

    int run();

private:
    int engineFailed(const QSqlError &error)
    {
        err_ << "comzelta-cli: histórico indisponível: " << error.databaseText().simplified() << Qt::endl;
        return ExitNoConnection;
    }
    int refused(const QString &why, int status)
    {
        err_ << "comzelta-cli: " << why << Qt::endl;
        return status;
    }
    // `notes` go before the tables, in text only.
    void print(const QList<ReportTable> &tables, const QByteArray &json, const QStringList &notes = {})
    {
        switch (options_.format) {
        case OutputFormat::Json:
            out_ << QString::fromUtf8(json);
            break;
        case OutputFormat::Csv:
            // The mark that makes a spreadsheet read UTF-8, as the console's exports have it.
            out_ << QChar(QChar::ByteOrderMark) << QString::fromUtf8(brazilianCsv(tables, closing_.zone()));
            break;
        case OutputFormat::Text:
            for (const QString &note : notes)
                out_ << note << '\n';
            if (!notes.isEmpty())
                out_ << '\n';
            out_ << tablesText(tables, brazilianNumberText);
            break;
        }
        out_.flush();
    }
    std::optional<QByteArray> fileBytes(const QString &path);
    // A day's input left as it was: the status, having said why.
    int inputRefused(const InputRefusal &refusal, const QString &path);
    // After a day is closed or reopened: the month's cumulative loss, and the alarm it turns.
    int watchLoss();

    int showDay();
    int showMonth();
    int close();
    int reopen();
    int importNozzles();
    int importTotalisers();
    int importPrices();
    int importInvoices();
    int settings();
    int dipstick();
    int products();
    int audit();

    const CliOptions &options_;
    const BookOptions &book_;
    QString station_;
    StoredStation stored_;
    ClosingBook &closing_;
    QTextStream &out_;
    QTextStream &err_;
};

std::optional<QByteArray> BookRun::fileBytes(const QString &path)
{
    QFile file(path);
    QString problem;
    if (!openRegularFile(file, &problem)) {
        err_ << "comzelta-cli: " << problem << Qt::endl;
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        err_ << "comzelta-cli: " << fileErrorText(file) << Qt::endl;
        return std::nullopt;
    }
    return bytes;
}

int BookRun::run()
{
    switch (book_.command) {
    case BookCommand::Day:
        return book_.month ? showMonth() : showDay();
    case BookCommand::Close:
        return close();
    case BookCommand::Reopen:
        return reopen();
    case BookCommand::Nozzles:
        return importNozzles();
    case BookCommand::Totalisers:
        return importTotalisers();
    case BookCommand::Prices:
        return importPrices();
    case BookCommand::Invoices:
        return importInvoices();
    case BookCommand::Settings:
        return settings();
    case BookCommand::Dipstick:
        return dipstick();
    case BookCommand::Products:
        return products();
    case BookCommand::Audit:
        return audit();
    }
    return ExitUsage;
}

int BookRun::showDay()
{
    const Result<BookDay, QSqlError> day = closing_.day(*book_.day);
    if (!day)
        return engineFailed(day.error());
    const Result<QMap<QString, double>, QSqlError> prices = closing_.tables().prices(*book_.day);
    if (!prices)
        return engineFailed(prices.error());
    print(bookDayTables(*day, *prices), bookDayJson(station_, *day, *prices), bookDayNotes(*day, closing_.zone()));
    if (day->divergentOpening)
        err_ << "comzelta-cli: abertura divergente: o fechamento físico do dia anterior mudou depois que este dia foi "
                "fechado; reabra-o e feche-o de novo"
             << Qt::endl;
    int status = ExitDone;
    for (const ClosingProblem &problem : day->figures.problems) {
        err_ << "comzelta-cli: " << closingProblemText(problem, closing_.zone()) << Qt::endl;
        if (problem.blocksComputation())
            status = ExitNotComputable;
    }
    return status;
}

int BookRun::showMonth()
{
    const QDate today = QDateTime::currentDateTimeUtc().toTimeZone(closing_.zone()).date();
    const QDate last = std::min(book_.month->addMonths(1).addDays(-1), today);
    const Result<QList<MonthProduct>, QSqlError> month = closing_.month(*book_.month, last);
    if (!month)
        return engineFailed(month.error());
    print(bookMonthTables(*month), bookMonthJson(station_, *book_.month, *month));
    return ExitDone;
}

int BookRun::close()
{
    const Result<void, CloseRefusal> closed = closing_.close(*book_.day, book_.justifications, localAuthor());
    if (closed) {
        out_ << "Dia " << book_.day->toString(QStringLiteral("dd/MM/yyyy")) << " fechado." << Qt::endl;
        return watchLoss();
    }
    const CloseRefusal &refusal = closed.error();
    if (refusal.kind == CloseRefusal::Engine)
        return engineFailed(refusal.error);
    const bool computable = std::none_of(refusal.problems.cbegin(), refusal.problems.cend(),
                                         [](const ClosingProblem &problem) { return problem.blocksComputation(); });
    const int status = refusal.kind != CloseRefusal::NotClosable ? ExitBookRefused
                       : computable                              ? ExitUsage
                                                                 : ExitNotComputable;
    return refused(closeRefusalText(refusal, *book_.day, closing_.zone()), status);
}

int BookRun::reopen()
{
    const Result<void, CloseRefusal> reopened = closing_.reopen(*book_.day, localAuthor(), book_.reason);
    if (!reopened) {
        if (reopened.error().kind == CloseRefusal::Engine)
            return engineFailed(reopened.error().error);
        return refused(closeRefusalText(reopened.error(), *book_.day, closing_.zone()), ExitBookRefused);
    }
    out_ << "Dia " << book_.day->toString(QStringLiteral("dd/MM/yyyy")) << " reaberto." << Qt::endl;
    return watchLoss();
}

int BookRun::watchLoss()
{
    const std::optional<LevelLimits> limits = lossLimits(options_, stored_, err_);
    if (!limits)
        return ExitDone;
    const Result<QList<LossAlarmTurn>, QSqlError> turns = watchCumulativeLoss(closing_, *limits);
    if (!turns)
        return engineFailed(turns.error());
    for (const LossAlarmTurn &turn : *turns)
        out_ << (turn.raised ? "Alarme: " : "Alarme normalizado: ") << turn.detail << Qt::endl;
    return ExitDone;
}

int BookRun::inputRefused(const InputRefusal &refusal, const QString &path)
{
    const QString where = path.isEmpty() ? QString() : path + QStringLiteral(": ");
    switch (refusal.kind) {
    case InputRefusal::Engine:
        return engineFailed(refusal.error);
    case InputRefusal::DayClosed:
        return refused(where + closedDayHint(refusal.day), ExitBookRefused);
    case InputRefusal::UnknownNozzle:
        return refused(where + inputRefusalText(refusal) + QStringLiteral(": importe os bicos com \"bicos --importar\""),
                       ExitUsage);
    }
    return ExitUsage;
}

int BookRun::importNozzles()
{
    const std::optional<QByteArray> bytes = fileBytes(book_.files.constFirst());
    if (!bytes)
        return ExitUsage;
    const Result<QList<NozzleRow>, RowProblem> rows = readNozzleRows(*bytes);
    if (!rows)
        return refused(rowProblemText(book_.files.constFirst(), rows.error()), ExitUsage);
    QList<NozzleRecord> nozzles;
    for (const NozzleRow &row : *rows)
        nozzles << NozzleRecord{row.nozzle, row.pump, row.tank, true};
    if (const Result<void, QSqlError> stored = closing_.tables().replaceNozzles(nozzles); !stored)
        return engineFailed(stored.error());
    out_ << nozzles.size() << " bicos importados." << Qt::endl;
    return ExitDone;
}

int BookRun::importTotalisers()
{
    const std::optional<QByteArray> bytes = fileBytes(book_.files.constFirst());
    if (!bytes)
        return ExitUsage;
    const Result<QList<TotaliserRow>, RowProblem> rows = readTotaliserRows(*bytes);
    if (!rows)
        return refused(rowProblemText(book_.files.constFirst(), rows.error()), ExitUsage);
    QList<TotaliserRecord> readings;
    for (const TotaliserRow &row : *rows)
        readings << TotaliserRecord{row.date, row.nozzle, row.opening, row.closing, row.calibration};
    if (const Result<void, InputRefusal> stored = closing_.storeTotalisers(readings); !stored)
        return inputRefused(stored.error(), book_.files.constFirst());
    out_ << readings.size() << " encerrantes importados." << Qt::endl;
    return ExitDone;
}

int BookRun::importPrices()
{
    const std::optional<QByteArray> bytes = fileBytes(book_.files.constFirst());
    if (!bytes)
        return ExitUsage;
    const Result<QList<PriceRow>, RowProblem> rows = readPriceRows(*bytes);
    if (!rows)
        return refused(rowProblemText(book_.files.constFirst(), rows.error()), ExitUsage);
    QList<PriceRecord> prices;
    for (const PriceRow &row : *rows)
        prices << PriceRecord{row.date, row.product, row.price};
    if (const Result<void, InputRefusal> stored = closing_.storePrices(prices); !stored)
        return inputRefused(stored.error(), book_.files.constFirst());
    out_ << prices.size() << " preços importados." << Qt::endl;
    return ExitDone;
}

int BookRun::importInvoices()
{
    // Every file is read before any is kept: one bad file refuses them all.
    QList<std::pair<QString, Invoice>> invoices;
    for (const QString &path : book_.files) {
        const std::optional<QByteArray> bytes = fileBytes(path);
        if (!bytes)
            return ExitUsage;
        const Result<Invoice, InvoiceProblem> invoice = readNfe(*bytes);
        if (!invoice)
            return refused(invoiceProblemText(path, invoice.error()), ExitUsage);
        invoices.push_back({path, *invoice});
    }
    int status = ExitDone;
    for (const auto &[path, invoice] : invoices) {
        const Result<InvoiceRecord, EntryRefusal> entered = closing_.enterInvoice(invoice, book_.day, book_.tank);
        if (entered) {
            out_ << QStringLiteral("%1: nota %2 entra no dia %3.")
                        .arg(path, entered->number, entered->day.toString(QStringLiteral("dd/MM/yyyy")))
                 << Qt::endl;
            continue;
        }
        if (const QSqlError *error = std::get_if<QSqlError>(&entered.error()))
            return engineFailed(*error);
        if (const InvoiceProblem *problem = std::get_if<InvoiceProblem>(&entered.error())) {
            refused(invoiceProblemText(path, *problem), 0);
            status = std::max(status, problem->kind == InvoiceProblem::AlreadyImported ? int(ExitBookRefused) : int(ExitUsage));
            continue;
        }
        const EntryProblem &problem = std::get<EntryProblem>(entered.error());
        const QString text = QStringLiteral("%1: %2").arg(path, entryProblemText(problem));
        switch (problem.kind) {
        case EntryProblem::UnknownProduct:
            refused(text + QStringLiteral("; diga qual é com comzelta-cli \"%1\" produtos --mapear \"%2=PRODUTO\"")
                               .arg(station_, problem.value),
                    0);
            break;
        case EntryProblem::TanksUnknown:
            refused(text + QStringLiteral("; diga com --tanque N"), 0);
            break;
        case EntryProblem::DayClosed:
            refused(QStringLiteral("%1: %2").arg(path, closedDayHint(QDate::fromString(problem.value, Qt::ISODate))), 0);
            status = std::max(status, int(ExitBookRefused));
            continue;
        case EntryProblem::NoSuchTank:
            refused(text, 0);
            break;
        }
        status = std::max(status, int(ExitUsage));
    }
    return status;
}

int BookRun::settings()
{
    Result<ClosingSettings, QSqlError> stored = closing_.settings();
    if (!stored)
        return engineFailed(stored.error());
    ClosingSettings settings = *stored;
    settings.closingHour = book_.closingHour.value_or(settings.closingHour);
    settings.tolerancePercent = book_.tolerancePercent.value_or(settings.tolerancePercent);
    settings.toleranceBase = book_.toleranceBase.value_or(settings.toleranceBase);
    settings.volumeBasis = book_.volumeBasis.value_or(settings.volumeBasis);
    settings.totaliserDigits = book_.totaliserDigits.value_or(settings.totaliserDigits);
    settings.cnpj = book_.cnpj.value_or(settings.cnpj);
    if (const Result<void, QSqlError> kept = closing_.tables().setSettings(settings); !kept)
        return engineFailed(kept.error());
    const QLocale brazilian(QLocale::Portuguese, QLocale::Brazil);
    out_ << "Hora do fechamento: " << settings.closingHour.toString(QStringLiteral("HH:mm")) << '\n'
         << "Tolerância: " << brazilian.toString(settings.tolerancePercent) << " % do "
         << (settings.toleranceBase == ToleranceBase::Available ? "volume disponível" : "estoque físico") << '\n'
         << "Volume: " << (settings.volumeBasis == VolumeBasis::Measured ? "ambiente" : "a 20 °C") << '\n'
         << "Dígitos dos encerrantes: " << settings.totaliserDigits << '\n'
         << "CNPJ: " << (settings.cnpj.isEmpty() ? QStringLiteral("-") : settings.cnpj) << Qt::endl;
    return ExitDone;
}

int BookRun::dipstick()
{
    const Result<void, InputRefusal> kept =
        closing_.storeDipstick(*book_.day, DipstickRecord{*book_.tank, *book_.litres, book_.reason});
    if (!kept)
        return inputRefused(kept.error(), QString());
    out_ << "Régua do tanque " << *book_.tank << " no dia " << book_.day->toString(QStringLiteral("dd/MM/yyyy"))
         << " registrada." << Qt::endl;
    return ExitDone;
}

int BookRun::products()
{
    for (const auto &[supplier, product] : book_.mappings)
        if (const Result<void, QSqlError> kept = closing_.tables().mapProduct(supplier, product); !kept)
            return engineFailed(kept.error());
    const Result<QMap<QString, QString>, QSqlError> mapping = closing_.tables().productMapping();
    if (!mapping)
        return engineFailed(mapping.error());
    print({productMappingTable(*mapping)}, productMappingJson(station_, *mapping));
    return ExitDone;
}

int BookRun::audit()
{
    const Result<QList<AuditRecord>, QSqlError> records = closing_.tables().audit(*book_.day);
    if (!records)
        return engineFailed(records.error());
    const AuditLines lines = options_.format == OutputFormat::Text ? AuditLines::Changes : AuditLines::Kept;
    print({auditTable(*records, closing_.zone(), lines)}, auditJson(station_, *book_.day, *records));
    return ExitDone;
}

} // namespace

int runBookCommand(const CliOptions &options, const StationResolution &station, QTextStream &out, QTextStream &err)
{
    const DatabaseLocation location = options.database.value_or(
        DatabaseLocation(HistoryStore::filePathIn(dataDirectoryOrDefault(options.dataDirectory))));
    if (!location.isPostgres() && !QFileInfo::exists(location.filePath)) {
        err << "comzelta-cli: " << location.displayName() << " não existe: nenhum posto foi lido ainda" << Qt::endl;
        return ExitUsage;
    }
    if (const Result<void, HistoryOpenProblem> opened = openForWriting(Connection, location, WriteConnectionSettings{});
        !opened) {
        err << "comzelta-cli: " << historyOpenProblemText(opened.error()) << Qt::endl;
        closeConnection(Connection);
        return ExitNoConnection;
    }
    int status = ExitUsage;
    {
        QSqlDatabase db = QSqlDatabase::database(Connection, false);
        const Result<QList<StoredStation>, QSqlError> stations = queryStations(db);
        const QString host = historyHost(*station.address);
        std::optional<StoredStation> found;
        for (const StoredStation &stored : stations.valueOr({}))
            if (stored.host == host || (!station.description.isEmpty() && stored.description == station.description))
                found = stored;
        if (!stations) {
            err << "comzelta-cli: histórico indisponível: " << stations.error().databaseText().simplified() << Qt::endl;
            status = ExitNoConnection;
        } else if (!found) {
            err << "comzelta-cli: o histórico não tem o posto " << options.station << Qt::endl;
        } else {
            ClosingBook book(db, found->id, QTimeZone(found->timeZone.toUtf8()));
            status = BookRun(options, *found, book, out, err).run();
        }
    }
    closeConnection(Connection);
    return status;
}
