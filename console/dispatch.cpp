// Processar_Mensagem_Recebida: what every received frame does to the console once the session
// has interpreted it and its panel has been filled.
#include "console/form1.h"

#include "codec/windows1252.h"
#include "protocol/numeric_text.h"
#include "session/reply_decoding.h"
#include "ui_form1.h"

void Form1::Processar_Mensagem_Recebida(const QByteArray &frame)
{
    // Error replies to "MA" count too.
    if (replyCode(frame) == "MA")
        ++tanquesLidos_;

    emit mensagemRecebida(frame);

    const double tanques = zelta::leadingNumber(toWindows1252(ui->CF_NumTanques->text()));
    if (state_.Inventario_Ativo && tanques == tanquesLidos_)
        abrirAoFimDaMensagem(inventarioAberto_, &Form1::Mostrar_Inventario, &Form1::encerrarInventario);
}

void Form1::mostrarErro(const ErrorReply &reply)
{
    if (!reply.text.isEmpty())
        ui->Inf_Erro->setText(reply.text);
}

void Form1::encerrarInventario()
{
    state_.Inventario_Ativo = false;
}
