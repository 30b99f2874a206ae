// Processar_Mensagem_Recebida: what every received frame does to the console once the session
// has interpreted it and its panel has been filled.
#include "console/form1.h"

#include "session/reply_decoding.h"
#include "session/series_tanks.h"
#include "ui_form1.h"

void Form1::Processar_Mensagem_Recebida(const QByteArray &frame)
{
    // Error replies to "MA" count too.
    if (replyCode(frame) == "MA")
        ++tanquesLidos_;

    emit mensagemRecebida(frame);

    if (inventarioAtivo_ && leituras_.tankCount() == tanquesLidos_)
        abrirAoFimDaMensagem(inventarioAberto_, &Form1::Mostrar_Inventario, &Form1::encerrarInventario);
}

void Form1::mostrarErro(const ErrorReply &reply)
{
    if (!reply.text.isEmpty())
        ui->Inf_Erro->setText(reply.text);
}

// Nothing of an unusable reply reaches the panels; the operator is told why.
void Form1::mostrarRespostaInvalida(const RejectedReply &rejected)
{
    if (rejected.problem == ReplyProblem::TooManyRecords) {
        mostrarSerieCortada();
        return;
    }
    ui->Inf_Erro->setText(unusableReplyText(rejected));
    // The box is narrower than most reasons: show where it starts.
    ui->Inf_Erro->setCursorPosition(0);
}

void Form1::encerrarInventario()
{
    inventarioAtivo_ = false;
}
