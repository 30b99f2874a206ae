#include "dialogs/form4.h"

#include "stations/station_file_reader.h"
#include "stations/station_file_writer.h"
#include "stations/station_paths.h"
#include "printing/window_printer.h"
#include "protocol/numeric_text.h"
#include "ui_form4.h"
#include "widgets/enter_presses_button.h"

#include <QMessageBox>

#include <array>
#include <cmath>

namespace {

constexpr int Colunas = 4;
// Column widths in pixels, from 500, 3000, 2000 and 1000 twips.
constexpr std::array<int, Colunas> LargurasColunas = {33, 200, 133, 67};

} // namespace

Form4::Form4(StationTable &Tabela_Locais, const QString &Diretorio_Dados, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Form4>())
    , Tabela_Locais(Tabela_Locais)
    , Diretorio_Dados(Diretorio_Dados)
{
    ui->setupUi(this);
    letEnterPressFocusedButton(this);
    connect(ui->Inserir, &QPushButton::clicked, this, &Form4::Inserir_Click);
    connect(ui->Excluir, &QPushButton::clicked, this, &Form4::Excluir_Click);
    connect(ui->Gravar_Conf, &QPushButton::clicked, this, &Form4::Gravar_Conf_Click);
    connect(ui->Imprimir, &QPushButton::clicked, this, &Form4::Imprimir_Click);
    connect(ui->Retornar, &QPushButton::clicked, this, &Form4::Retornar_Click);

    Inicializa_Tabela();
    Prepara_Tabela();
}

Form4::~Form4() = default;

void Form4::Inicializa_Tabela()
{
    QTableWidget *grade = ui->Conf_Zeltas;
    grade->clear();
    grade->setColumnCount(Colunas);
    grade->setRowCount(StationTable::Entries);
    grade->setHorizontalHeaderLabels({QStringLiteral("Item"), QStringLiteral("Descrição Local"),
                                      QStringLiteral("IP"), QStringLiteral("Port")});
    for (int coluna = 0; coluna < Colunas; ++coluna)
        grade->setColumnWidth(coluna, LargurasColunas[std::size_t(coluna)]);
    for (int linha = 0; linha < StationTable::Entries; ++linha) {
        for (int coluna = 0; coluna < Colunas; ++coluna) {
            auto *item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            grade->setItem(linha, coluna, item);
        }
    }
}

void Form4::Prepara_Tabela()
{
    for (int n = 1; n <= StationTable::Entries; ++n)
        celula(n, 0)->setText(QString::number(n));

    // Without a file to read, the grid starts from the console's table: on a first start, the rows
    // handed back by the last Retornar, which the operator has not saved yet.
    const Result<QVector<StationEntry>, StationFileProblem> itens = readStationItems(stationFilePath(Diretorio_Dados));
    if (!itens) {
        for (int n = 1; n <= StationTable::Entries; ++n)
            definirLinha(n, Tabela_Locais.entry(n));
        return;
    }
    for (int n = 1; n <= int(itens->size()); ++n)
        definirLinha(n, itens->at(n - 1));
}

QTableWidgetItem *Form4::celula(int linha, int coluna) const
{
    return ui->Conf_Zeltas->item(linha - 1, coluna);
}

StationEntry Form4::linha(int n) const
{
    return {celula(n, 1)->text(), celula(n, 2)->text(), celula(n, 3)->text()};
}

void Form4::definirLinha(int n, const StationEntry &local)
{
    celula(n, 1)->setText(local.description);
    celula(n, 2)->setText(local.host);
    celula(n, 3)->setText(local.port);
}

StationTable Form4::linhasDaGrade() const
{
    StationTable linhas;
    for (int n = 1; n <= StationTable::Entries; ++n)
        linhas.entry(n) = linha(n);
    return linhas;
}

std::optional<int> Form4::numeroItem()
{
    const double valor = zelta::leadingNumber(ui->Inf_Local_0->text().toStdString());
    if (valor >= 1 && valor <= StationTable::Entries && std::floor(valor) == valor)
        return int(valor);
    QMessageBox::information(this, QStringLiteral("Aviso"),
                             QStringLiteral("Informe um número de item de 1 a 40."));
    return std::nullopt;
}

void Form4::Inserir_Click()
{
    const std::optional<int> n = numeroItem();
    if (!n)
        return;
    const StationEntry local{ui->Inf_Local_1->text(), ui->Inf_Local_2->text(), ui->Inf_Local_3->text()};
    if (const Result<void, StationFileProblem> inteiro = checkWholeStation(*n, local); !inteiro) {
        QMessageBox::warning(this, QStringLiteral("Aviso"), stationFileProblemText(inteiro.error()));
        return;
    }
    definirLinha(*n, local);
}

void Form4::Excluir_Click()
{
    const std::optional<int> n = numeroItem();
    if (!n)
        return;
    for (int r = *n; r < StationTable::Entries; ++r)
        definirLinha(r, linha(r + 1));
    // Otherwise the last entry would stand in both rows 39 and 40, and entry 40 could never go.
    definirLinha(StationTable::Entries, {});
}

void Form4::Gravar_Conf_Click()
{
    // A partial row can still come from a file written before whole stations were required.
    const StationTable linhas = linhasDaGrade();
    Result<void, StationFileProblem> gravado;
    for (int n = 1; n <= StationTable::Entries && gravado; ++n)
        gravado = checkWholeStation(n, linhas.entry(n));
    if (gravado)
        gravado = saveStationFile(Diretorio_Dados, linhas);
    if (!gravado)
        QMessageBox::warning(this, QStringLiteral("Aviso"), stationFileProblemText(gravado.error()));
}

void Form4::Imprimir_Click()
{
    printWindow(this);
}

void Form4::Retornar_Click()
{
    Tabela_Locais = linhasDaGrade();
    accept();
}
