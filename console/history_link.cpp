// The console's history: the store that keeps what the session reads (and applies the alarm rules
// of alarmes.ini as it does), the status line that says when it cannot, and the window that shows it.
#include "console/form1.h"

#include "alarms/alarm_rules.h"
#include "book/book_window.h"
#include "history/history_window.h"
#include "store/session_keeper.h"
#include "ui_form1.h"

void Form1::conectarHistorico(const HistoryStoreOptions &options, const std::optional<DatabaseLocation> &database)
{
    HistoryStoreOptions withAlarms = options;
    Result<std::shared_ptr<AlarmRules>, AlarmFileProblem> alarms = std::shared_ptr<AlarmRules>();
    if (!withAlarms.rules) {
        alarms = loadAlarmRules(diretorioDados_);
        withAlarms.rules = alarms.valueOr(nullptr);
    }
    history_ = new HistoryStore(database.value_or(DatabaseLocation(HistoryStore::filePathIn(diretorioDados_))),
                                withAlarms, this);
    keeper_ = new SessionKeeper(session_, history_, Origin::Console, this);
    connect(history_, &HistoryStore::writesFailing, this, &Form1::mostrarEstadoHistorico);
    connect(history_, &HistoryStore::writesWorking, this, [this] { mostrarEstadoHistorico({}); });
    // Said until the history has something else to say: the operator must fix a controller's number.
    connect(history_, &HistoryStore::ofeConflict, this, [this](const AlarmNotice &notice) {
        ui->Estado_Historico->setText(QStringLiteral("Histórico: ") + notice.detail);
        ui->Estado_Historico->setVisible(true);
    });
    connect(ui->Historico, &QPushButton::clicked, this, &Form1::Historico_Click);
    connect(ui->Fechamento, &QPushButton::clicked, this, &Form1::Fechamento_Click);

    QPalette warning = ui->Estado_Historico->palette();
    warning.setColor(QPalette::WindowText, Qt::red);
    ui->Estado_Historico->setPalette(warning);
    if (!alarms) {
        ui->Estado_Historico->setText(QStringLiteral("Alarmes desativados: ") + alarmFileProblemText(alarms.error()));
        ui->Estado_Historico->setVisible(true);
    }
}

// Empty while writes work.
void Form1::mostrarEstadoHistorico(const QString &reason)
{
    ui->Estado_Historico->setText(reason.isEmpty() ? QString() : QStringLiteral("Histórico indisponível: ") + reason);
    ui->Estado_Historico->setVisible(!reason.isEmpty());
}

// The hosts the history leaves their OFE numbers to, whatever else answers with one of them.
void Form1::listarPostosNoHistorico()
{
    history_->setListedHosts(hostsInUse(tabelaLocais_));
}

// One window of each, brought forward when it is already open.
template <class Window>
void Form1::mostrarJanelaDoHistorico(QPointer<Window> &window)
{
    const bool opening = !window;
    if (opening) {
        window = new Window(history_->location(), this);
        window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->show();
    window->raise();
    window->activateWindow();
    if (opening)
        emit janelaAberta(window);
}

void Form1::Historico_Click()
{
    mostrarJanelaDoHistorico(historyWindow_);
}

void Form1::Fechamento_Click()
{
    mostrarJanelaDoHistorico(bookWindow_);
}
