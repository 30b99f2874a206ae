#pragma once

#include "config/station_table.h"
#include "tables/report_tables.h"

#include <QString>

// The console-wide variables that the console shares with its windows. One instance, owned by
// the console window, lives for the whole run.
struct ApplicationState {
    QString Diretorio_Dados;
    TabelaLocais Tabela_Locais;

    QString Senha_Usuario;  // as typed in "Abertura Zelta"
    QString Data_MedProg;   // as typed in "Digitar Data"

    bool Inventario_Ativo = false;
    QString Estado_Conexao;

    TankTable Tabela_Tanques;
    double Num_Tanques = 0;
    int Num_Sensores = 0;

    ScheduledTable Tabela_Medicoes;
    int Num_Medicoes = 0;

    QString Nome_Posto;
};
