// Connection supervision: picking a station, the controller dialogue's opening and closing,
// leaving, and the three supervision timers.
#include "console/form1.h"

#include "codec/windows1252.h"
#include "console/estado_tcp.h"
#include "console/message_log_model.h"
#include "protocol/control_codes.h"
#include "protocol/requests.h"
#include "reports/tank_drawing.h"
#include "session/controller_session.h"
#include "store/session_keeper.h"
#include "ui_form1.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>

void Form1::Postos_Click(int index)
{
    ui->Estado_TCP->clear();
    ui->IP->clear();
    limparPosto();

    // Each listed station carries its own entry number, so gaps in the file cannot send the
    // operator to the wrong controller.
    const int entry = ui->Postos->itemData(index).toInt();
    if (entry < 1 || entry > StationTable::Entries) {
        session_->abort();
        return;
    }
    const StationEntry &local = tabelaLocais_.entry(entry);
    mostrarPosto(local.description);
    keeper_->setStation({local.description, local.host, {}, {}});
    session_->connectTo(local.host, ControllerSession::DefaultPort);
}

// Empties what the last station left on screen and in the tables, so that nothing read from one
// controller is ever shown, or counted in a report, as another's.
void Form1::limparPosto()
{
    Limpar_Informacoes_Medicao();
    Limpar_Informacoes_do_Medidor();
    Limpar_Outras_Informacoes();
    Limpar_Monitoramento_de_Vazamento();
    ui->Estado->setText(QStringLiteral("OFF-LINE"));
    Altura_Liquido_->setAlturaLiquido(Altura_Tanque);

    inventarioAtivo_ = false;
    tanquesLidos_ = 0;
    leituras_.clear();
    numSensores_ = 0;
    medicoes_ = {};
    numMedicoes_ = 0;

    for (QWidget *panel : {ui->Frame3, ui->Frame5, ui->Frame7, ui->Frame10})
        panel->setEnabled(false);
    ui->Abrir_Conexao->setEnabled(false);
    ui->Fechar_Conexao->setEnabled(false);
    limparSelecaoTanques();
    for (QAbstractButton *button : TQ_Ativo_->buttons())
        button->setEnabled(false);
}

void Form1::mostrarPosto(const QString &nome)
{
    leituras_.setStation(nome);
    ui->Host->setText(nome);
}

void Form1::Abrir_Conexao_Click()
{
    Mostrar_Senha();
    ui->Comando_MT1->setText(fromWindows1252(zelta::OpenDialogue));
    ui->Inf_Erro->clear();
    SessionRequest *opening = session_->openDialogue(QByteArray::fromStdString(toWindows1252(senhaUsuario_)));
    connect(opening, &SessionRequest::finished, this, [this, opening] { mostrarAberturaSemResposta(*opening); });
}

// The session sends "ID02" as soon as the pause allows and closes the socket once it is written;
// the log is emptied again then, so that the line of a delayed "ID02" does not linger.
void Form1::Fechar_Conexao_Click()
{
    connect(session_, &ControllerSession::dialogueEnded, this, &Form1::Limpar_Log_Click,
            Qt::ConnectionType(Qt::SingleShotConnection | Qt::UniqueConnection));
    session_->endDialogue();
    Limpar_Log_Click();
    if (!Inicializar_Variaveis())
        Sair_Click();
}

void Form1::Sair_Click()
{
    session_->abort();
    QCoreApplication::quit();
}

void Form1::Timer1_Timer()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    ui->Data->setText(locale.toString(now.date(), QLocale::ShortFormat));
    ui->Hora->setText(locale.toString(now.time(), QStringLiteral("HH:mm:ss")));
    Sinal_->button(Indice_Sinal)->setChecked(true);
    Indice_Sinal = (Indice_Sinal + 1) % 5;
}

void Form1::Timer2_Timer()
{
    const ControllerSession::LinkState estado = session_->linkState();
    estadoConexao_ = Traduzir_Estado_TCP(estado);
    ui->Estado_TCP->setText(estadoConexao_);

    if (estado == ControllerSession::LinkState::Connected) {
        ui->IP->setText(session_->peerAddress());
        ui->Abrir_Conexao->setEnabled(true);
    } else {
        ui->IP->clear();
    }
    if (estado == ControllerSession::LinkState::Closing)
        session_->abort();
}

void Form1::Timer3_Timer()
{
    if (session_->linkState() == ControllerSession::LinkState::Connected)
        enviar(std::string(zelta::KeepAlive));
}
