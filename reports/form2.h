#pragma once

#include "export/csv_writer.h"
#include "tables/report_tables.h"

#include <QDialog>
#include <array>
#include <memory>

class TankPanel;

namespace Ui {
class Form2;
}

// "Sistema Zelta - Inventário de Produtos": the last reading of every configured tank, a drawing
// of each tank's level and the totals by product. The whole content is rebuilt each time the
// window is shown or becomes active again, from the console's own variables: a reading that
// arrives while the window is open shows the next time it is activated.
class Form2 : public QDialog
{
    Q_OBJECT

public:
    // The three variables are read at every activation; they must outlive the window.
    Form2(const TankTable *Tabela_Tanques, const double *Num_Tanques, const QString *Nome_Posto,
          QWidget *parent = nullptr);
    ~Form2() override;

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private slots:
    void Exportar_CSV_Click();
    void Imprimir_Click();
    void Retornar_Click();

private:
    void Form_Activate();
    void Inicializa_Tabela();
    void Prepara_Tabela();
    void Efetua_Inventario();

    std::unique_ptr<Ui::Form2> ui;
    std::array<TankPanel *, 16> Frame1;
    const TankTable *m_tabelaTanques;
    const double *m_numTanques;
    const QString *m_nomePosto;
    // What "Exportar CSV" writes: the readings as of the last activation, as the grids show them.
    QList<CsvRow> m_exportRows;
};
