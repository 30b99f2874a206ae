#include "reports/form5.h"

#include "export/export_file_name.h"
#include "export/save_dialog.h"
#include "printing/window_printer.h"
#include "reports/report_csv.h"
#include "reports/report_grid.h"
#include "reports/scheduled_fields.h"
#include "session/readings.h"
#include "ui_form5.h"

#include <QDateTime>

#include <algorithm>

namespace {

constexpr int ResultRows = 119;

} // namespace

Form5::Form5(const ScheduledTable &Tabela_Medicoes, int Num_Medicoes, const QString &Data_MedProg,
             QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Form5>())
    , m_dataMedProg(Data_MedProg)
    , m_exportRows(resultsRows(Tabela_Medicoes, Num_Medicoes))
{
    ui->setupUi(this);
    setWindowTitle(windowTitle() + captionDate(Data_MedProg));
    Inicializa_Tabela();
    Prepara_Tabela(Tabela_Medicoes, std::clamp(Num_Medicoes, 0, ScheduledCapacity));
    connect(ui->Exportar_CSV, &QPushButton::clicked, this, &Form5::Exportar_CSV_Click);
    connect(ui->Imprimir, &QPushButton::clicked, this, &Form5::Imprimir_Click);
    connect(ui->Retornar, &QPushButton::clicked, this, &Form5::Retornar_Click);
}

Form5::~Form5() = default;

void Form5::setStationName(const QString &Nome_Posto)
{
    m_nomePosto = Nome_Posto;
}

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
        setCell(ui->Resultados_MedProg, k - 1, 1, record.tank);
        setCell(ui->Resultados_MedProg, k - 1, 2, record.volume);
        setCell(ui->Resultados_MedProg, k - 1, 3, dateCell(record.date));
        setCell(ui->Resultados_MedProg, k - 1, 4, timeCell(record.time));
    }
}

// "Medicoes-2024-12-31_<station>_<now>.csv"; a date that is no date is left out of the name.
void Form5::Exportar_CSV_Click()
{
    QString contents = QStringLiteral("Medicoes");
    // Noon: no change of summer time falls on it, so every real date has that hour.
    if (const std::optional<QDateTime> day = controllerDateTime(m_dataMedProg, QStringLiteral("120000")))
        contents += QLatin1Char('-') + day->toString(QStringLiteral("yyyy-MM-dd"));
    saveRowsAs(this, QStringLiteral("Exportar CSV"), exportFileName(contents, m_nomePosto, QDateTime::currentDateTime()),
               m_exportRows);
}

void Form5::Imprimir_Click()
{
    printWindow(this);
}

void Form5::Retornar_Click()
{
    accept();
}
