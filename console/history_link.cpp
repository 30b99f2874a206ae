// The console's history: the store that keeps what the session reads (and applies the alarm rules
// of alarmes.ini as it does), the status line that says when it cannot, and the window that shows it.
#include "console/form1.h"

#include "alarms/alarm_rules.h"
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

// One window, brought forward when it is already open.
void Form1::Historico_Click()
{
    const bool opening = !historyWindow_;
    if (opening) {
        historyWindow_ = new HistoryWindow(history_->location(), this);
        historyWindow_->setAttribute(Qt::WA_DeleteOnClose);
    }
    historyWindow_->show();
    historyWindow_->raise();
    historyWindow_->activateWindow();
    if (opening)
        emit janelaAberta(historyWindow_);
}
