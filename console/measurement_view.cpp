// "MT", "LM" and "MA" replies: the measurement panel, the drawn tank, and Tabela_Tanques.
#include "console/form1.h"

#include "codec/windows1252.h"
#include "protocol/numeric_text.h"
#include "protocol/text_fields.h"
#include "tables/fill_level.h"
#include "reports/tank_drawing.h"
#include "ui_form1.h"

void Form1::interpretarMedicao(const MeasurementReading &m)
{
    // Only tanks 0-16 have a row; another number is still shown, but not stored.
    const int row = zelta::roundHalfEven(zelta::leadingNumber(toWindows1252(m.tank)));
    TankReading *reading = (row >= 0 && row < TankRows) ? &state_.Tabela_Tanques[std::size_t(row)] : nullptr;
    const auto store = [reading](int fieldIndex, const QString &value) {
        if (reading)
            (*reading)[std::size_t(fieldIndex)] = value;
    };
    const auto bytewise = [](std::string (*edit)(std::string_view), const QString &text) {
        return fromWindows1252(edit(toWindows1252(text)));
    };

    ui->MT1_Tanque->setText(bytewise(zelta::trimSpaces, m.tank));
    store(0, m.tank);
    ui->MT_Produto->setText(m.product);
    store(4, m.product);
    ui->MT_CET->setText(m.expansion);
    ui->MT_Densidade->setText(bytewise(zelta::trimSpaces, m.density) + QStringLiteral(" g/l"));
    store(3, m.density);
    ui->MT_Vol_Medido->setText(m.measured);
    store(1, m.measured);
    ui->MT_Vol_Complementar->setText(m.complementary);
    store(2, m.complementary);
    ui->MT_Hora->setText(bytewise(zelta::splitTime, m.time));
    store(6, ui->MT_Hora->text());
    ui->MT_Data->setText(bytewise(zelta::splitDate, m.date));
    store(5, ui->MT_Data->text());
    ui->MT_Capacidade->setText(m.capacity);
    ui->MT_Regua->setText(m.level == QStringLiteral("S/Inf.") || m.level.isEmpty() ? m.level
                                                                                  : m.level + QStringLiteral(" mm"));
    ui->MT_Volume20->setText(m.volume20);

    const FillLevel fill = fillLevel(zelta::leadingNumber(toWindows1252(ui->MT_Vol_Medido->text())),
                                     zelta::leadingNumber(toWindows1252(ui->MT_Vol_Complementar->text())),
                                     Altura_Tanque, operatorDecimalSeparator());
    ui->Percentual->setText(fill.percentText);
    Altura_Liquido_->setAlturaLiquido(fill.coverTwips);

    ui->Label8->setText(m.byWeight ? QStringLiteral("Peso Medido") : QStringLiteral("Vol. Medido"));
    ui->Label9->setText(m.byWeight ? QStringLiteral("Peso Complementar") : QStringLiteral("Vol. Complementar"));

    ui->Inf_Erro->setText(m.lastOfReading ? QStringLiteral("Término da(s) leitura(s) do(s) tanque(s)!") : QString());
}

void Form1::Limpar_Informacoes_Medicao()
{
    for (QLineEdit *box : {ui->MT1_Tanque, ui->MT_Produto, ui->MT_Densidade, ui->MT_Capacidade, ui->MT_Vol_Medido,
                           ui->MT_Vol_Complementar, ui->MT_Volume20, ui->MT_Regua, ui->MT_CET, ui->MT_Data,
                           ui->MT_Hora, ui->Percentual})
        box->clear();
}
