// "MP" replies: one scheduled measurement each, the last one opening the results window.
#include "console/form1.h"

#include "protocol/reply_layouts.h"
#include "ui_form1.h"

static_assert(ScheduledCapacity == zelta::MaxScheduledRecords, "the results table holds a whole series");

void Form1::interpretarMedicaoProgramada(const ScheduledReading &record)
{
    const int n = numMedicoes_;
    // The session ends a series at the table's length; an earlier request's late records may not
    // write past it all the same.
    if (n >= ScheduledCapacity)
        return;
    medicoes_[std::size_t(n)] = {record.date, record.time, record.volume, record.tank};
    numMedicoes_ = n + 1;
    ui->Inf_Erro->setText(QStringLiteral("Recebendo a medição No. %1").arg(numMedicoes_));
    if (!record.moreFollow)
        abrirAoFimDaMensagem(resultadosAbertos_, &Form1::Mostrar_Resultados, &Form1::limparProgresso);
}

// A series longer than any controller keeps: what fits is shown, and the operator is told.
void Form1::mostrarSerieCortada()
{
    ui->Inf_Erro->setText(QStringLiteral("Lista cortada em %1 medições.").arg(ScheduledCapacity));
    abrirAoFimDaMensagem(resultadosAbertos_, &Form1::Mostrar_Resultados, &Form1::limparProgresso);
}

void Form1::limparProgresso()
{
    ui->Inf_Erro->clear();
}
