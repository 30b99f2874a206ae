#include "reports/form2.h"

#include "codec/windows1252.h"
#include "export/export_file_name.h"
#include "export/save_dialog.h"
#include "printing/window_printer.h"
#include "protocol/numeric_text.h"
#include "protocol/text_fields.h"
#include "tables/fill_level.h"
#include "reports/inventory_totals.h"
#include "reports/report_csv.h"
#include "reports/report_grid.h"
#include "reports/tank_panel.h"
#include "session/series_tanks.h"
#include "tables/station_readings.h"
#include "ui_form2.h"

#include <QDateTime>
#include <QEvent>

namespace {

constexpr int InventoryProductRows = 8;

// A reading as its `Leitura` row shows it: the controller's texts, its date and time split.
QStringList leituraTexts(const TankReading &reading)
{
    const auto split = [](std::string (*edit)(std::string_view), const QString &text) {
        return fromWindows1252(edit(toWindows1252(text)));
    };
    return {reading.tank,    reading.measured, reading.complementary,        reading.density,
            reading.product, split(zelta::splitDate, reading.date), split(zelta::splitTime, reading.time)};
}

} // namespace

Form2::Form2(const StationReadings &readings, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Form2>())
    , m_readings(readings)
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
    const QString caption = QStringLiteral("Volume nos Tanques do Posto > ") + m_readings.station();
    ui->Frame3->setTitle(caption);
    ui->Leitura->setAccessibleName(caption);
    Inicializa_Tabela();
    Prepara_Tabela();
    Efetua_Inventario();
    fitColumnsToText(ui->Leitura);
    fitColumnsToText(ui->Inventario);
    m_exportRows = inventoryRows(m_readings);
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
    const int tanks = tanksInInventory(m_readings.tankCount());
    const TankTable leitura = leituraRows(m_readings.tanks(), tanks);
    const QList<int> semLeitura = tanksWithoutReading(leitura, m_readings.failures(), tanks);
    const QChar separator = operatorDecimalSeparator();
    for (int i = 1; i <= InventoryTanks; ++i) {
        TankPanel *panel = Frame1[i - 1];
        panel->hide();
        // A row without a reading is emptied.
        const QStringList texts = hasReading(leitura[i]) ? leituraTexts(leitura[i]) : QStringList(7, QString());
        for (int j = 0; j < int(texts.size()); ++j)
            setCell(ui->Leitura, i - 1, j, texts[j]);
        if (semLeitura.contains(i)) {
            // Numbered as the controller numbers its tanks, the reason across the reading's columns.
            setCell(ui->Leitura, i - 1, 0, QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')));
            setNotice(ui->Leitura, i - 1, 1, m_readings.failures()[std::size_t(i)]);
        }
        // A tank left out keeps whatever its hidden panel showed before.
        if (!hasReading(leitura[i]))
            continue;
        const double measured = zelta::leadingNumber(leitura[i].measured.toStdString());
        const double complementary = zelta::leadingNumber(leitura[i].complementary.toStdString());
        panel->showReading(i, fillLevel(measured, complementary, TankPanel::BodyHeightTwips, separator));
    }
}

void Form2::Efetua_Inventario()
{
    const int tanks = tanksInInventory(m_readings.tankCount());
    const TankTable leitura = leituraRows(m_readings.tanks(), tanks);
    const std::vector<ProductTotal> totals = productTotals(leitura, tanks, operatorDecimalSeparator());
    // Under each total, the tanks it leaves out.
    const QString incompleto = incompleteTotalText(tanksWithoutReading(leitura, m_readings.failures(), tanks));
    const int rowsPerTotal = incompleto.isEmpty() ? 1 : 2;
    // More products than the design's eight rows get rows of their own rather than being lost.
    growGrid(ui->Inventario, int(totals.size()) * rowsPerTotal);
    for (int t = 0; t < int(totals.size()); ++t) {
        const int r = t * rowsPerTotal;
        setCell(ui->Inventario, r, 0, totals[t].Produto);
        setCell(ui->Inventario, r, 1, totals[t].VolMed);
        setCell(ui->Inventario, r, 2, totals[t].VolCpl);
        if (!incompleto.isEmpty())
            setNotice(ui->Inventario, r + 1, 0, incompleto);
    }
}

void Form2::Exportar_CSV_Click()
{
    saveRowsAs(this, QStringLiteral("Exportar CSV"),
               exportFileName(QStringLiteral("Inventario"), m_readings.station(), QDateTime::currentDateTime()), m_exportRows);
}

void Form2::Imprimir_Click()
{
    printWindow(this);
}

void Form2::Retornar_Click()
{
    accept();
}
