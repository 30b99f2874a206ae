#include "reports/form5.h"

#include "printing/window_printer.h"
#include "reports/report_grid.h"
#include "reports/scheduled_fields.h"
#include "ui_form5.h"

#include <algorithm>

namespace {

constexpr int ResultRows = 119;

} // namespace

Form5::Form5(const ScheduledTable &Tabela_Medicoes, int Num_Medicoes, const QString &Data_MedProg,
             QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Form5>())
{
    ui->setupUi(this);
    setWindowTitle(windowTitle() + captionDate(Data_MedProg));
    Inicializa_Tabela();
    Prepara_Tabela(Tabela_Medicoes, std::clamp(Num_Medicoes, 0, ScheduledCapacity));
    connect(ui->Imprimir, &QPushButton::clicked, this, &Form5::Imprimir_Click);
    connect(ui->Retornar, &QPushButton::clicked, this, &Form5::Retornar_Click);
}

Form5::~Form5() = default;

void Form5::Inicializa_Tabela()
{
    initGrid(ui->Resultados_MedProg, ResultRows,
             {{"No.", 900}, {"Tanque", 900}, {"Volume", 900}, {"Data", 900}, {"Hora", 900}});
}

void Form5::Prepara_Tabela(const ScheduledTable &Tabela_Medicoes, int Num_Medicoes)
{
    for (int k = 1; k <= Num_Medicoes; ++k) {
        const ScheduledRecord &record = Tabela_Medicoes[k - 1];
        setCell(ui->Resultados_MedProg, k - 1, 0, QString::number(k));
        setCell(ui->Resultados_MedProg, k - 1, 1, record[3]);
        setCell(ui->Resultados_MedProg, k - 1, 2, record[2]);
        setCell(ui->Resultados_MedProg, k - 1, 3, dateCell(record[0]));
        setCell(ui->Resultados_MedProg, k - 1, 4, timeCell(record[1]));
    }
}

void Form5::Imprimir_Click()
{
    printWindow(this);
}

void Form5::Retornar_Click()
{
    accept();
}
