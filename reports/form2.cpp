#include "reports/form2.h"

#include "export/export_file_name.h"
#include "export/save_dialog.h"
#include "printing/window_printer.h"
#include "protocol/numeric_text.h"
#include "tables/fill_level.h"
#include "reports/inventory_totals.h"
#include "reports/report_csv.h"
#include "reports/report_grid.h"
#include "reports/tank_panel.h"
#include "ui_form2.h"

#include <QDateTime>
#include <QEvent>

namespace {

constexpr int InventoryProductRows = 8;

} // namespace

Form2::Form2(const TankTable *Tabela_Tanques, const double *Num_Tanques, const QString *Nome_Posto,
             QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Form2>())
    , m_tabelaTanques(Tabela_Tanques)
    , m_numTanques(Num_Tanques)
    , m_nomePosto(Nome_Posto)
{
    ui->setupUi(this);
    for (int k = 0; k < int(Frame1.size()); ++k) {
        Frame1[k] = new TankPanel(k, this);
        Frame1[k]->hide();
    }
    connect(ui->Exportar_CSV, &QPushButton::clicked, this, &Form2::Exportar_CSV_Click);
    connect(ui->Imprimir, &QPushButton::clicked, this, &Form2::Imprimir_Click);
    connect(ui->Retornar, &QPushButton::clicked, this, &Form2::Retornar_Click);
}

Form2::~Form2() = default;

bool Form2::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QDialog::event(event);
}

// Platforms that never activate the window still get its content when it is shown.
void Form2::showEvent(QShowEvent *event)
{
    Form_Activate();
    QDialog::showEvent(event);
}

void Form2::Form_Activate()
{
    const QString caption = QStringLiteral("Volume nos Tanques do Posto > ") + *m_nomePosto;
    ui->Frame3->setTitle(caption);
    ui->Leitura->setAccessibleName(caption);
    Inicializa_Tabela();
    Prepara_Tabela();
    Efetua_Inventario();
    fitColumnsToText(ui->Leitura);
    fitColumnsToText(ui->Inventario);
    m_exportRows = inventoryRows(*m_tabelaTanques, *m_numTanques);
}

void Form2::Inicializa_Tabela()
{
    initGrid(ui->Leitura, InventoryTanks,
             {{"Tanque", 800}, {"VolMed", 900}, {"VolCpl", 900}, {"Densidade", 900},
              {"Produto", 1000}, {"Data", 900}, {"Hora", 900}});
    initGrid(ui->Inventario, InventoryProductRows,
             {{"Produto", 1000}, {"VolMed", 1000}, {"VolCpl", 1000}});
}

void Form2::Prepara_Tabela()
{
    const TankTable leitura = leituraRows(*m_tabelaTanques, tanksInInventory(*m_numTanques));
    const QChar separator = operatorDecimalSeparator();
    for (int i = 1; i <= InventoryTanks; ++i) {
        TankPanel *panel = Frame1[i - 1];
        panel->hide();
        for (int j = 0; j < int(leitura[i].size()); ++j)
            setCell(ui->Leitura, i - 1, j, leitura[i][j]);
        // A tank left out keeps whatever its hidden panel showed before.
        if (!hasReading(leitura[i]))
            continue;
        const double measured = zelta::leadingNumber(leitura[i][1].toStdString());
        const double complementary = zelta::leadingNumber(leitura[i][2].toStdString());
        panel->showReading(i, fillLevel(measured, complementary, TankPanel::BodyHeightTwips, separator));
    }
}

void Form2::Efetua_Inventario()
{
    const int tanks = tanksInInventory(*m_numTanques);
    const std::vector<ProductTotal> totals =
        productTotals(leituraRows(*m_tabelaTanques, tanks), tanks, operatorDecimalSeparator());
    // More products than the design's eight rows get rows of their own rather than being lost.
    growGrid(ui->Inventario, int(totals.size()));
    for (int r = 0; r < int(totals.size()); ++r) {
        setCell(ui->Inventario, r, 0, totals[r].Produto);
        setCell(ui->Inventario, r, 1, totals[r].VolMed);
        setCell(ui->Inventario, r, 2, totals[r].VolCpl);
    }
}

void Form2::Exportar_CSV_Click()
{
    saveRowsAs(this, QStringLiteral("Exportar CSV"),
               exportFileName(QStringLiteral("Inventario"), *m_nomePosto, QDateTime::currentDateTime()), m_exportRows);
}

void Form2::Imprimir_Click()
{
    printWindow(this);
}

void Form2::Retornar_Click()
{
    accept();
}
