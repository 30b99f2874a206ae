// The two report windows, opened modally from inside reply handling.
#include "console/form1.h"

#include "reports/form2.h"
#include "reports/form5.h"
#include "ui_form1.h"

void Form1::Mostrar_Inventario()
{
    state_.Nome_Posto = ui->Host->text();
    Form2 window(state_.Tabela_Tanques, state_.Num_Tanques, state_.Nome_Posto);
    inventarioAberto_ = &window;
    emit janelaAberta(&window);
    window.exec();
}

void Form1::Mostrar_Resultados()
{
    Form5 window(state_.Tabela_Medicoes, state_.Num_Medicoes, state_.Data_MedProg);
    resultadosAbertos_ = &window;
    emit janelaAberta(&window);
    window.exec();
}
