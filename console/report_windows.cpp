// The two report windows, opened modally when reply handling finds them complete.
#include "console/form1.h"

#include "reports/form2.h"
#include "reports/form5.h"

#include <QTimer>

// A report window opens once the session has finished interpreting the reply that completed it,
// not from inside its signal: the window's modal loop would run in the middle of that
// interpretation, and the replies after it would wait for the operator or be interpreted beneath
// a handler still running. `aberto` keeps the window from being opened twice meanwhile; `depois`
// runs once it has been closed.
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
    Form2 window(leituras_);
    emit janelaAberta(&window);
    window.exec();
}

void Form1::Mostrar_Resultados()
{
    Form5 window(medicoes_, numMedicoes_, dataMedProg_);
    window.setStationName(leituras_.station());
    emit janelaAberta(&window);
    window.exec();
}
