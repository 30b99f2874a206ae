// The two report windows, opened modally when reply handling finds them complete.
#include "console/form1.h"

#include "reports/form2.h"
#include "reports/form5.h"
#include "ui_form1.h"

#include <QTimer>

// A report window opens once the dispatcher has finished with the reply that completed it, not
// from inside it: Qt never fires a timer again while its own handler is still running, so a
// window opened from the 10 ms dispatcher would stop every later reply from being interpreted
// until the operator closed it. `aberto` keeps the window from being opened twice meanwhile;
// `depois` runs once it has been closed.
void Form1::abrirAoFimDaMensagem(bool &aberto, void (Form1::*mostrar)(), void (Form1::*depois)())
{
    if (aberto)
        return;
    aberto = true;
    QTimer::singleShot(0, this, [this, &aberto, mostrar, depois] {
        (this->*mostrar)();
        aberto = false;
        (this->*depois)();
    });
}

void Form1::Mostrar_Inventario()
{
    state_.Nome_Posto = ui->Host->text();
    Form2 window(&state_.Tabela_Tanques, &state_.Num_Tanques, &state_.Nome_Posto);
    emit janelaAberta(&window);
    window.exec();
}

void Form1::Mostrar_Resultados()
{
    Form5 window(state_.Tabela_Medicoes, state_.Num_Medicoes, state_.Data_MedProg);
    window.setStationName(ui->Host->text());
    emit janelaAberta(&window);
    window.exec();
}
