#pragma once

#include "stations/station_table.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>

class QTableWidgetItem;

namespace Ui {
class Form4;
}

// The configuration editor: a grid of the 40 entries of the station file, edited row by row,
// saved to the file and, on Retornar, handed to the console's station table.
class Form4 : public QDialog
{
    Q_OBJECT

public:
    Form4(StationTable &Tabela_Locais, const QString &Diretorio_Dados, QWidget *parent = nullptr);
    ~Form4() override;

private slots:
    void Inserir_Click();
    void Excluir_Click();
    void Gravar_Conf_Click();
    void Imprimir_Click();
    void Retornar_Click();

private:
    void Inicializa_Tabela();
    void Prepara_Tabela();

    // Grid rows are counted as the entries are, 1 to 40; columns 1-3 are Descricao, IP and Port.
    QTableWidgetItem *celula(int linha, int coluna) const;
    StationEntry linha(int n) const;
    void definirLinha(int n, const StationEntry &local);
    StationTable linhasDaGrade() const;
    // The item number typed by the operator, or nothing (and a notice) when it names no row.
    std::optional<int> numeroItem();

    std::unique_ptr<Ui::Form4> ui;
    StationTable &Tabela_Locais;
    const QString Diretorio_Dados;
};
