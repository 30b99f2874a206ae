// Processar_Mensagem_Recebida: the single entry point for everything the controller says.
#include "console/form1.h"

#include "codec/windows1252.h"
#include "protocol/numeric_text.h"
#include "protocol/replies.h"
#include "replies/error_texts.h"
#include "ui_form1.h"

void Form1::Processar_Mensagem_Recebida()
{
    const std::string &frame = Mensagem_RX;
    const std::string code = zelta::replyCode(frame);

    if (code == "MA")
        ++tanquesLidos_;

    if (zelta::isErrorReply(frame)) {
        const QString text = errorReplyText(zelta::errorCode(frame));
        if (!text.isEmpty())
            ui->Inf_Erro->setText(text);
    } else if (code == "MT" || code == "LM" || code == "MA") {
        interpretarMedicao(frame);
    } else if (code == "LR" || code == "AR") {
        interpretarRelogio(frame);
    } else if (code == "LS") {
        interpretarSensores(frame);
    } else if (code == "MP") {
        interpretarMedicaoProgramada(frame);
    } else if (code == "CF") {
        interpretarConfiguracao(frame);
    } else if (code == "ID") {
        interpretarIdentificacao(frame);
    }

    const double tanques = zelta::leadingNumber(toWindows1252(ui->CF_NumTanques->text()));
    if (state_.Inventario_Ativo && tanques == tanquesLidos_)
        abrirAoFimDaMensagem(inventarioAberto_, &Form1::Mostrar_Inventario, &Form1::encerrarInventario);
}

void Form1::encerrarInventario()
{
    state_.Inventario_Ativo = false;
}
