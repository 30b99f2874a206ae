// The console's side of the link: requests go to the controller session, and what the session
// reports is logged and rendered.
#include "console/form1.h"

#include "console/message_log_model.h"
#include "protocol/frame.h"
#include "session/controller_session.h"
#include "store/session_keeper.h"
#include "ui_form1.h"

#include <QListView>
#include <QScrollBar>

void Form1::conectarSessao()
{
    session_ = new ControllerSession(this);
    connect(session_, &ControllerSession::logLine, this, &Form1::registrar);
    connect(session_, &ControllerSession::errorReplied, this, &Form1::mostrarErro);
    connect(session_, &ControllerSession::replyRejected, this, &Form1::mostrarRespostaInvalida);
    connect(session_, &ControllerSession::measurementRead, this, &Form1::interpretarMedicao);
    connect(session_, &ControllerSession::clockRead, this, &Form1::interpretarRelogio);
    connect(session_, &ControllerSession::sensorsRead, this, &Form1::interpretarSensores);
    connect(session_, &ControllerSession::scheduledRead, this, &Form1::interpretarMedicaoProgramada);
    connect(session_, &ControllerSession::configurationRead, this, &Form1::interpretarConfiguracao);
    connect(session_, &ControllerSession::identificationRead, this, &Form1::interpretarIdentificacao);
    connect(session_, &ControllerSession::frameInterpreted, this, &Form1::Processar_Mensagem_Recebida);
}

void Form1::Transmitir_Click()
{
    if (zelta::isKeepAlive(Comando_TX))
        session_->sendKeepAlive();
    else if (SessionRequest *request = session_->request(QByteArray::fromStdString(Comando_TX));
             request->code() == "MA") {
        keeper_->keepSeriesOf(request);
        connect(request, &SessionRequest::finished, this, [this, request] { anotarTanquesSemLeitura(*request); });
    }
}

void Form1::enviar(const std::string &comando)
{
    Comando_TX = comando;
    Transmitir_Click();
}

void Form1::registrar(const QByteArray &line)
{
    // Follow the newest line, unless the operator has scrolled back to read an older one.
    const QScrollBar *bar = ui->Msg_Log->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    logModel_->append(line.toStdString());
    if (following)
        ui->Msg_Log->scrollToBottom();
}
