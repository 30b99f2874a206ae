// The link to the controller: framing and sending requests, assembling, acknowledging and
// storing received frames, and handing them one per tick to the reply interpretation.
#include "console/form1.h"

#include "codec/windows1252.h"
#include "console/message_log_model.h"
#include "protocol/control_codes.h"
#include "protocol/frame.h"
#include "protocol/log_lines.h"
#include "ui_form1.h"

#include <QListView>
#include <QScrollBar>
#include <QTcpSocket>
#include <QThread>

void Form1::Transmitir_Click()
{
    if (!zelta::isKeepAlive(Comando_TX))
        Comando_TX = zelta::frameRequest(Comando_TX);
    enviarComandoTX();
}

void Form1::enviar(const std::string &comando)
{
    Comando_TX = comando;
    Transmitir_Click();
}

// Sends Comando_TX as it stands, then pauses.
void Form1::enviarComandoTX()
{
    // A command pressed after the connection was lost goes nowhere; say so instead of
    // pretending it was sent, and do not stall the console with a pause for nothing.
    if (Net_->state() != QAbstractSocket::ConnectedState) {
        if (!zelta::isKeepAlive(Comando_TX))
            registrar(toWindows1252(QStringLiteral("Não transmitiu (sem conexão): ")) + Comando_TX);
        return;
    }
    if (Net_->write(Comando_TX.data(), qint64(Comando_TX.size())) == qint64(Comando_TX.size())) {
        Net_->flush();
        Net_SendComplete();
    }
    pausa();
}

// Logged as soon as the bytes are handed to the system, from what Comando_TX holds then.
void Form1::Net_SendComplete()
{
    if (const auto line = zelta::transmittedLine(Comando_TX))
        registrar(*line);
}

void Form1::Net_DataArrival()
{
    const QByteArray bytes = Net_->readAll();
    if (bytes.isEmpty())
        return;
    const auto result = Buffer_RX_.feed(std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (result.discarded > 0)
        registrar(toWindows1252(QStringLiteral("Descartou: %1 bytes sem fim de quadro").arg(result.discarded)));

    switch (result.kind) {
    case zelta::FrameAssembler::Kind::Ack:
        registrar(zelta::receivedAckLine());
        return;
    case zelta::FrameAssembler::Kind::Nak:
        registrar(zelta::receivedNakLine());
        return;
    case zelta::FrameAssembler::Kind::Incomplete:
        return;
    case zelta::FrameAssembler::Kind::Frame:
        break;
    }
    registrar(zelta::receivedFrameLine(result.frame));
    Comando_TX = std::string(1, zelta::ACK);
    enviarComandoTX();
    Armazena_Mensagem_RX(result.frame);
}

void Form1::Armazena_Mensagem_RX(std::string frame)
{
    if (!Fila_RX_.Armazena(std::move(frame)))
        registrar(toWindows1252(QStringLiteral("Fila de recepção cheia: quadro descartado")));
}

void Form1::Apanha_Mensagem_RX()
{
    Mensagem_RX = Fila_RX_.Apanha();
}

void Form1::Timer4_Timer()
{
    Apanha_Mensagem_RX();
    if (Mensagem_RX.empty())
        return;
    emit mensagemRecebida(QByteArray(Mensagem_RX.data(), qsizetype(Mensagem_RX.size())));
    Processar_Mensagem_Recebida();
}

void Form1::registrar(const std::string &line)
{
    // Follow the newest line, unless the operator has scrolled back to read an older one.
    const QScrollBar *bar = ui->Msg_Log->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    logModel_->append(line);
    if (following)
        ui->Msg_Log->scrollToBottom();
}

// The controller expects a pause after every transmission; the original console blocked its only
// thread for it, and the pacing of the protocol relies on that.
void Form1::pausa() const
{
    QThread::msleep(std::uint32_t(Tempo_Espera));
}
