#pragma once

#include "export/csv_writer.h"
#include "tables/report_tables.h"

#include <QDialog>
#include <memory>

namespace Ui {
class Form5;
}

// "Medições na data DD/MM/AA": the scheduled measurements the controller returned for a date,
// one row per record, filled once when the window is created from a copy of the records: records
// of a later request never change a window already open.
class Form5 : public QDialog
{
    Q_OBJECT

public:
    // Num_Medicoes records of the table are listed, at most its 101.
    Form5(const ScheduledTable &Tabela_Medicoes, int Num_Medicoes, const QString &Data_MedProg,
          QWidget *parent = nullptr);
    ~Form5() override;

    // The station the records came from, for the name "Exportar CSV" offers.
    void setStationName(const QString &Nome_Posto);

private slots:
    void Exportar_CSV_Click();
    void Imprimir_Click();
    void Retornar_Click();

private:
    void Inicializa_Tabela();
    void Prepara_Tabela(const ScheduledTable &Tabela_Medicoes, int Num_Medicoes);

    std::unique_ptr<Ui::Form5> ui;
    QString m_dataMedProg;
    QString m_nomePosto;
    QList<CsvRow> m_exportRows;
};
