#include "book/book_window.h"

#include "book/book_audit_dialog.h"
#include "book/book_csv.h"
#include "book/book_day_view.h"
#include "book/book_settings_dialog.h"
#include "book/book_worker.h"
#include "book/month_view.h"
#include "closing/book_author.h"
#include "closing/closing_texts.h"
#include "codec/file_text.h"
#include "export/export_file_name.h"
#include "export/save_dialog.h"
#include "imports/day_rows.h"
#include "imports/nfe_reader.h"
#include "session/log_text.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("Fechamento Diário (LMC)");

QPushButton *button(const QString &text, const QString &name, QWidget *parent)
{
    auto *result = new QPushButton(text, parent);
    result->setObjectName(name);
    result->setAccessibleName(text);
    return result;
}

QString dateText(QDate day)
{
    return day.toString(QStringLiteral("dd/MM/yyyy"));
}

// "Aberto", or who closed the day and when, in the station's time.
QString stateText(const BookDay &day, const QTimeZone &zone)
{
    if (!day.closed)
        return QStringLiteral("Aberto");
    QString who = readableText(day.closedBy.userName);
    if (!day.closedBy.machine.isEmpty())
        who += QStringLiteral(" (%1)").arg(readableText(day.closedBy.machine));
    QString text = QStringLiteral("Fechado por %1 em %2")
                       .arg(who, day.closedAt.toTimeZone(zone).toString(QStringLiteral("dd/MM/yyyy HH:mm")));
    if (day.divergentOpening)
        text += QStringLiteral(", abertura divergente: o fechamento físico do dia anterior mudou depois; reabra-o e "
                               "feche-o de novo");
    return text;
}

// The closing's refusals start in lower case, to follow a program's name on a line.
QString sentence(const QString &text)
{
    return text.isEmpty() ? text : text.at(0).toUpper() + text.mid(1);
}

} // namespace

BookWindow::BookWindow(const DatabaseLocation &history, QWidget *parent)
    : QWidget(parent, Qt::Window), worker_(new BookWorker(history, this))
{
    setObjectName(QStringLiteral("Fechamento"));
    setWindowTitle(Title);
    setAccessibleName(Title);

    station_ = new QComboBox(this);
    station_->setObjectName(QStringLiteral("Posto"));
    station_->setAccessibleName(QStringLiteral("Posto"));
    station_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    date_ = new QDateEdit(QDate::currentDate().addDays(-1), this);
    date_->setObjectName(QStringLiteral("Dia"));
    date_->setAccessibleName(QStringLiteral("Dia"));
    date_->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    date_->setCalendarPopup(true);
    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("Situacao"));
    state_->setAccessibleName(QStringLiteral("Situação do dia"));
    state_->setWordWrap(true);
    auto *choices = new QGridLayout;
    const QList<std::pair<QString, QWidget *>> fields{{QStringLiteral("Posto:"), station_}, {QStringLiteral("Dia:"), date_}};
    for (int i = 0; i < fields.size(); ++i) {
        auto *label = new QLabel(fields[i].first, this);
        label->setBuddy(fields[i].second);
        choices->addWidget(label, 0, 2 * i);
        choices->addWidget(fields[i].second, 0, 2 * i + 1);
    }
    choices->addWidget(state_, 0, 4);
    choices->setColumnStretch(4, 1);

    day_ = new BookDayView(this);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("Abas"));
    tabs_->setAccessibleName(QStringLiteral("Dia e mês"));
    tabs_->addTab(day_, QStringLiteral("Dia"));
    month_ = new MonthView(this);
    tabs_->addTab(month_, QStringLiteral("Mês"));

    close_ = button(QStringLiteral("Fechar o Dia"), QStringLiteral("Fechar_Dia"), this);
    reopen_ = button(QStringLiteral("Reabrir"), QStringLiteral("Reabrir"), this);
    totalisers_ = button(QStringLiteral("Importar Encerrantes"), QStringLiteral("Importar_Encerrantes"), this);
    invoices_ = button(QStringLiteral("Importar NF-e"), QStringLiteral("Importar_NFe"), this);
    auto *audit = button(QStringLiteral("Histórico de Alterações"), QStringLiteral("Historico_Alteracoes"), this);
    auto *settings = button(QStringLiteral("Configurar Bicos"), QStringLiteral("Configurar_Bicos"), this);
    auto *exportButton = button(QStringLiteral("Exportar CSV"), QStringLiteral("Exportar_CSV"), this);
    auto *printButton = button(QStringLiteral("Imprimir"), QStringLiteral("Imprimir"), this);
    auto *closeWindow = button(QStringLiteral("Fechar"), QStringLiteral("Fechar"), this);
    auto *actions = new QHBoxLayout;
    for (QPushButton *action : {close_, reopen_, totalisers_, invoices_, audit})
        actions->addWidget(action);
    actions->addStretch(1);
    actions->addWidget(settings);
    actions->addWidget(exportButton);
    actions->addWidget(printButton);
    actions->addWidget(closeWindow);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("Estado"));
    status_->setAccessibleName(QStringLiteral("Estado"));
    status_->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(tabs_, 1);
    layout->addLayout(actions);
    layout->addWidget(status_);
    resize(1100, 760);

    connect(worker_, &BookWorker::stationsReady, this, &BookWindow::showStations);
    connect(worker_, &BookWorker::dayReady, this, &BookWindow::showDay);
    connect(worker_, &BookWorker::auditReady, this, &BookWindow::showAudit);
    connect(worker_, &BookWorker::printableReady, this, &BookWindow::print);
    connect(worker_, &BookWorker::monthReady, this, &BookWindow::showMonth);
    connect(worker_, &BookWorker::setupReady, this, &BookWindow::showSetup);
    connect(worker_, &BookWorker::done, this, &BookWindow::answered);
    connect(worker_, &BookWorker::closeRefused, this, &BookWindow::showCloseRefusal);
    connect(worker_, &BookWorker::inputRefused, this, &BookWindow::showInputRefusal);
    connect(worker_, &BookWorker::invoiceEntered, this, &BookWindow::invoiceEntered);
    connect(worker_, &BookWorker::invoiceRefused, this, &BookWindow::invoiceRefused);
    connect(worker_, &BookWorker::failed, this, [this](int, const QString &reason) { showFailure(reason); });
    connect(station_, &QComboBox::activated, this, &BookWindow::chooseDay);
    connect(date_, &QDateEdit::dateChanged, this, &BookWindow::chooseDay);
    connect(day_, &BookDayView::justificationsEdited, this, &BookWindow::askDay);
    connect(day_, &BookDayView::badEntry, this, &BookWindow::refused);
    connect(day_, &BookDayView::totaliserEdited, this, [this](const TotaliserRecord &record) {
        if (const StoredStation *chosen = station()) {
            actionDone_ = QStringLiteral("Encerrantes do bico %1 guardados.").arg(record.nozzle);
            actionAsked_ = worker_->requestTotalisers(*chosen, {record});
        }
    });
    connect(close_, &QPushButton::clicked, this, &BookWindow::closeDay);
    connect(reopen_, &QPushButton::clicked, this, &BookWindow::reopenDay);
    connect(totalisers_, &QPushButton::clicked, this, &BookWindow::importTotalisers);
    connect(invoices_, &QPushButton::clicked, this, &BookWindow::importInvoices);
    connect(audit, &QPushButton::clicked, this, &BookWindow::askAudit);
    connect(settings, &QPushButton::clicked, this, &BookWindow::askSetup);
    connect(exportButton, &QPushButton::clicked, this, &BookWindow::exportCsv);
    connect(printButton, &QPushButton::clicked, this, &BookWindow::askPrintable);
    connect(closeWindow, &QPushButton::clicked, this, &QWidget::close);

    chooseDay();
    status_->setText(QStringLiteral("Consultando o histórico…"));
    stationsAsked_ = worker_->requestStations();
}

const StoredStation *BookWindow::station() const
{
    const int index = station_->currentIndex();
    return index >= 0 && index < stations_.size() ? &stations_[index] : nullptr;
}

QTimeZone BookWindow::zone() const
{
    const StoredStation *chosen = station();
    return chosen ? QTimeZone(chosen->timeZone.toUtf8()) : QTimeZone::systemTimeZone();
}

void BookWindow::showStations(int requestId, const QList<StoredStation> &stations)
{
    if (requestId != stationsAsked_)
        return;
    stations_ = stations;
    station_->clear();
    for (const StoredStation &stored : stations)
        station_->addItem(stored.description.isEmpty() ? stored.host
                                                       : QStringLiteral("%1 (%2)").arg(stored.description, stored.host));
    if (stations.isEmpty()) {
        status_->setText(QStringLiteral("Nenhuma medição guardada ainda."));
        return;
    }
    chooseDay();
}

// Another day's figures never stand under this one's date while it is computed.
void BookWindow::chooseDay()
{
    shown_ = BookDay{};
    day_->clear();
    state_->clear();
    for (QPushButton *action : {close_, reopen_, totalisers_, invoices_})
        action->setEnabled(false);
    askDay();
}

void BookWindow::askDay()
{
    const StoredStation *chosen = station();
    if (!chosen)
        return;
    status_->setText(QStringLiteral("Calculando o dia %1…").arg(dateText(date_->date())));
    dayAsked_ = worker_->requestDay(*chosen, date_->date(), day_->justifications());
    monthAsked_ = worker_->requestMonth(*chosen, date_->date());
}

void BookWindow::showDay(int requestId, const BookDay &day)
{
    if (requestId != dayAsked_)
        return;
    shown_ = day;
    day_->showDay(day, zone());
    state_->setText(stateText(day, zone()));
    close_->setEnabled(!day.closed);
    reopen_->setEnabled(day.closed);
    totalisers_->setEnabled(!day.closed);
    invoices_->setEnabled(true);
    status_->setText(actionDone_);
    actionDone_.clear();
}

void BookWindow::closeDay()
{
    const StoredStation *chosen = station();
    if (!chosen)
        return;
    actionDone_ = QStringLiteral("Dia %1 fechado.").arg(dateText(date_->date()));
    actionAsked_ = worker_->requestClose(*chosen, date_->date(), day_->justifications(), localAuthor());
}

void BookWindow::reopenDay()
{
    const StoredStation *chosen = station();
    if (!chosen)
        return;
    bool accepted = false;
    const QString reason =
        QInputDialog::getText(this, QStringLiteral("Reabrir o Dia"),
                              QStringLiteral("Motivo da reabertura do dia %1:").arg(dateText(date_->date())),
                              QLineEdit::Normal, QString(), &accepted)
            .trimmed();
    if (!accepted)
        return;
    if (reason.isEmpty()) {
        refused(QStringLiteral("O dia não foi reaberto: diga o motivo da reabertura."));
        return;
    }
    actionDone_ = QStringLiteral("Dia %1 reaberto.").arg(dateText(date_->date()));
    actionAsked_ = worker_->requestReopen(*chosen, date_->date(), localAuthor(), reason);
}

void BookWindow::importTotalisers()
{
    const StoredStation *chosen = station();
    if (!chosen)
        return;
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Importar Encerrantes"), QString(),
                                                      QStringLiteral("Encerrantes (*.csv *.txt);;Todos os arquivos (*)"));
    if (path.isEmpty())
        return;
    const std::optional<QByteArray> bytes = fileBytes(path);
    if (!bytes)
        return;
    const Result<QList<TotaliserRow>, RowProblem> rows = readTotaliserRows(*bytes);
    if (!rows) {
        refused(rowProblemText(path, rows.error()));
        return;
    }
    QList<TotaliserRecord> readings;
    for (const TotaliserRow &row : *rows)
        readings << TotaliserRecord{row.date, row.nozzle, row.opening, row.closing, row.calibration};
    importing_ = path;
    actionDone_ = QStringLiteral("%1 encerrantes importados.").arg(readings.size());
    actionAsked_ = worker_->requestTotalisers(*chosen, readings);
}

std::optional<QByteArray> BookWindow::fileBytes(const QString &path)
{
    QFile file(path);
    QString problem;
    if (!openRegularFile(file, &problem)) {
        refused(problem);
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        refused(fileErrorText(file));
        return std::nullopt;
    }
    return bytes;
}

void BookWindow::importInvoices()
{
    const StoredStation *chosen = station();
    if (!chosen)
        return;
    const QStringList paths = QFileDialog::getOpenFileNames(this, QStringLiteral("Importar NF-e"), QString(),
                                                            QStringLiteral("NF-e (*.xml);;Todos os arquivos (*)"));
    // Every file is read before any is kept: one bad file refuses them all.
    QList<std::pair<QString, Invoice>> invoices;
    for (const QString &path : paths) {
        const std::optional<QByteArray> bytes = fileBytes(path);
        if (!bytes)
            return;
        const Result<Invoice, InvoiceProblem> invoice = readNfe(*bytes);
        if (!invoice) {
            refused(invoiceProblemText(path, invoice.error()));
            return;
        }
        invoices.push_back({path, *invoice});
    }
    if (invoices.isEmpty())
        return;
    entered_.clear();
    invoiceRefused_ = false;
    actionAsked_ = worker_->requestInvoices(*chosen, invoices);
}

void BookWindow::invoiceEntered(int requestId, const QString &path, const InvoiceRecord &record)
{
    if (requestId == actionAsked_)
        entered_ << QStringLiteral("%1: nota %2 entra no dia %3.").arg(path, record.number, dateText(record.day));
}

void BookWindow::invoiceRefused(int requestId, const QString &path, const EntryRefusal &refusal)
{
    if (requestId != actionAsked_)
        return;
    invoiceRefused_ = true;
    if (const InvoiceProblem *problem = std::get_if<InvoiceProblem>(&refusal)) {
        entered_ << invoiceProblemText(path, *problem);
        return;
    }
    const EntryProblem &problem = std::get<EntryProblem>(refusal);
    QString text = QStringLiteral("%1: %2").arg(path, entryProblemText(problem));
    if (problem.kind == EntryProblem::UnknownProduct)
        text += QStringLiteral("; diga qual é em \"Configurar Bicos\"");
    else if (problem.kind == EntryProblem::DayClosed)
        text += QStringLiteral(": reabra-o antes de mudá-lo");
    entered_ << text;
}

void BookWindow::askAudit()
{
    if (const StoredStation *chosen = station())
        auditAsked_ = worker_->requestAudit(*chosen, date_->date());
}

void BookWindow::showAudit(int requestId, const QList<AuditRecord> &records)
{
    if (requestId != auditAsked_)
        return;
    auto *dialog = new BookAuditDialog(date_->date(), records, zone(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void BookWindow::askPrintable()
{
    if (const StoredStation *chosen = station())
        printAsked_ = worker_->requestPrintable(*chosen, date_->date());
}

void BookWindow::print(int requestId, const BookPrintInput &printable)
{
    if (requestId == printAsked_)
        printBook(printable, this);
}

void BookWindow::showMonth(int requestId, const QList<MonthProduct> &month, const QList<QDate> &closedDays)
{
    if (requestId == monthAsked_)
        month_->setMonth(month, closedDays);
}

void BookWindow::askSetup()
{
    if (const StoredStation *chosen = station())
        setupAsked_ = worker_->requestSetup(*chosen);
}

void BookWindow::showSetup(int requestId, const BookSetup &setup)
{
    if (requestId != setupAsked_)
        return;
    auto *dialog = new BookSettingsDialog(setup, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &BookSettingsDialog::saved, this, [this](const BookSetup &kept) {
        if (const StoredStation *chosen = station()) {
            actionDone_ = QStringLiteral("Configuração do livro gravada.");
            actionAsked_ = worker_->requestSaveSetup(*chosen, kept);
        }
    });
    dialog->open();
}

void BookWindow::exportCsv()
{
    const StoredStation *chosen = station();
    if (!chosen || !shown_.figures.date.isValid())
        return;
    CsvFormat format;
    format.zone = zone();
    saveRowsAs(this, QStringLiteral("Exportar CSV"),
               exportFileName(QStringLiteral("LMC_") + shown_.figures.date.toString(Qt::ISODate),
                              chosen->description.isEmpty() ? chosen->host : chosen->description,
                              QDateTime::currentDateTime()),
               bookDayCsv(shown_), format);
}

void BookWindow::answered(int requestId)
{
    if (requestId != actionAsked_)
        return;
    importing_.clear();
    if (!entered_.isEmpty()) {
        // Said again once the day is shown, which takes the status line.
        actionDone_ = entered_.join(QLatin1Char('\n'));
        entered_.clear();
        if (invoiceRefused_)
            refused(actionDone_);
    }
    askDay();
}

void BookWindow::showCloseRefusal(int requestId, const CloseRefusal &refusal)
{
    if (requestId != actionAsked_)
        return;
    actionDone_.clear();
    refused(sentence(closeRefusalText(refusal, date_->date(), zone())));
}

void BookWindow::showInputRefusal(int requestId, const InputRefusal &refusal)
{
    if (requestId != actionAsked_)
        return;
    actionDone_.clear();
    const QString what = inputRefusalText(refusal)
                         + (refusal.kind == InputRefusal::DayClosed ? QStringLiteral(": reabra-o antes de mudá-lo")
                                                                    : QStringLiteral(": cadastre os bicos do posto antes"));
    refused(importing_.isEmpty() ? sentence(what) : importing_ + QStringLiteral(": ") + what);
    importing_.clear();
    askDay();
}

void BookWindow::showFailure(const QString &reason)
{
    status_->setText(QStringLiteral("Histórico indisponível: ") + reason);
}

void BookWindow::refused(const QString &text)
{
    status_->setText(text);
    QMessageBox::warning(this, Title, text);
}
