// "MP" replies: one scheduled measurement each, the last one opening the results window.
#include "console/form1.h"

#include "ui_form1.h"

void Form1::interpretarMedicaoProgramada(const ScheduledReading &record)
{
    const int n = state_.Num_Medicoes;
    if (n >= ScheduledCapacity) {
        // The table holds 101 records; say so instead of dropping the rest unnoticed.
        ui->Inf_Erro->setText(QStringLiteral("Lista cortada em %1 medições.").arg(ScheduledCapacity));
    } else {
        state_.Tabela_Medicoes[std::size_t(n)] = {record.date, record.time, record.volume, record.tank};
        state_.Num_Medicoes = n + 1;
        ui->Inf_Erro->setText(QStringLiteral("Recebendo a medição No. %1").arg(state_.Num_Medicoes));
    }
    if (!record.moreFollow)
        abrirAoFimDaMensagem(resultadosAbertos_, &Form1::Mostrar_Resultados, &Form1::limparProgresso);
}

void Form1::limparProgresso()
{
    ui->Inf_Erro->clear();
}
