#pragma once

#include "export/csv_writer.h"

#include <QDialog>
#include <array>
#include <memory>

class StationReadings;
class TankPanel;

namespace Ui {
class Form2;
}

// "Sistema Zelta - Inventário de Produtos": the last reading of every configured tank, or why it
// has none, a drawing of each tank's level and the totals by product, each marked incomplete under
// it while a tank has no reading. The whole content is rebuilt each time the window is shown or
// becomes active again, from the readings the console keeps: a reading that arrives while the
// window is open shows the next time it is activated.
class Form2 : public QDialog
{
    Q_OBJECT

public:
    // The readings are read at every activation; they must outlive the window.
    explicit Form2(const StationReadings &readings, QWidget *parent = nullptr);
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
    const StationReadings &m_readings;
    // What "Exportar CSV" writes: the readings as of the last activation, as the grids show them.
    QList<CsvRow> m_exportRows;
};
