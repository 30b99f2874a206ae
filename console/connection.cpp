// Connection supervision: picking a station, the controller dialogue's opening and closing,
// leaving, and the three supervision timers.
#include "console/form1.h"

#include "console/message_log_model.h"
#include "console/socket_state.h"
#include "protocol/control_codes.h"
#include "protocol/requests.h"
#include "ui_form1.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QDateTime>
#include <QLocale>
#include <QTcpSocket>

void Form1::fecharSocket()
{
    Net_->abort();
    netState_->reset();
}

void Form1::Postos_Click(int index)
{
    fecharSocket();
    pausa();
    // Bytes left of a frame the previous controller never finished would otherwise be glued to
    // the first reply of the next one.
    Buffer_RX_.clear();
    ui->Estado_TCP->clear();
    ui->IP->clear();

    // Each listed station carries its own entry number, so gaps in the file cannot send the
    // operator to the wrong controller.
    const int entry = ui->Postos->itemData(index).toInt();
    if (entry < 1 || entry > TabelaLocais::Entradas)
        return;
    const Local &local = state_.Tabela_Locais.entry(entry);
    ui->Host->setText(local.Descricao);
    Net_->connectToHost(local.IP, PortaControlador);
}

void Form1::Abrir_Conexao_Click()
{
    Mostrar_Senha();
    comandoSimples(std::string(zelta::OpenDialogue));
}

void Form1::Fechar_Conexao_Click()
{
    enviar(std::string(zelta::CloseDialogue));
    Limpar_Informacoes_Medicao();
    Limpar_Informacoes_do_Medidor();
    Limpar_Outras_Informacoes();
    Limpar_Monitoramento_de_Vazamento();
    Limpar_Log_Click();
    fecharSocket();
    Inicializar_Variaveis();
}

void Form1::Sair_Click()
{
    fecharSocket();
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
    state_.Estado_Conexao = Traduzir_Estado_TCP(netState_->State());
    ui->Estado_TCP->setText(state_.Estado_Conexao);

    if (ui->Estado_TCP->text() == Traduzir_Estado_TCP(SocketStateTracker::Conectado)) {
        ui->IP->setText(Net_->peerAddress().toString());
        ui->Abrir_Conexao->setEnabled(true);
    } else {
        ui->IP->clear();
    }
    if (ui->Estado_TCP->text() == Traduzir_Estado_TCP(SocketStateTracker::Fechando))
        fecharSocket();
}

void Form1::Timer3_Timer()
{
    if (ui->Estado_TCP->text() == Traduzir_Estado_TCP(SocketStateTracker::Conectado))
        enviar(std::string(zelta::KeepAlive));
}
