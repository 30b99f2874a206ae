// "MT", "LM" and "MA" replies: the measurement panel, the drawn tank, and Tabela_Tanques.
#include "console/form1.h"

#include "codec/windows1252.h"
#include "protocol/numeric_text.h"
#include "protocol/replies.h"
#include "protocol/text_fields.h"
#include "reports/fill_level.h"
#include "reports/tank_drawing.h"
#include "ui_form1.h"


void Form1::interpretarMedicao(const std::string &frame)
{
    const zelta::MeasurementFields m = zelta::decodeMeasurement(frame);
    const auto text = [](const std::string &bytes) { return fromWindows1252(bytes); };

    // Only tanks 0-16 have a row; another number is still shown, but not stored.
    const int row = zelta::roundHalfEven(zelta::leadingNumber(m.tank));
    TankReading *reading = (row >= 0 && row < TankRows) ? &state_.Tabela_Tanques[std::size_t(row)] : nullptr;
    const auto store = [reading](int fieldIndex, const QString &value) {
        if (reading)
            (*reading)[std::size_t(fieldIndex)] = value;
    };

    ui->MT1_Tanque->setText(text(zelta::trimSpaces(m.tank)));
    store(0, text(m.tank));
    ui->MT_Produto->setText(text(m.product));
    store(4, text(m.product));
    ui->MT_CET->setText(text(m.expansion));
    ui->MT_Densidade->setText(text(zelta::trimSpaces(m.density)) + QStringLiteral(" g/l"));
    store(3, text(m.density));
    ui->MT_Vol_Medido->setText(text(m.measured));
    store(1, text(m.measured));
    ui->MT_Vol_Complementar->setText(text(m.complementary));
    store(2, text(m.complementary));
    ui->MT_Hora->setText(text(zelta::splitTime(m.time)));
    store(6, ui->MT_Hora->text());
    ui->MT_Data->setText(text(zelta::splitDate(m.date)));
    store(5, ui->MT_Data->text());
    ui->MT_Capacidade->setText(text(m.capacity));
    const QString level = text(m.level);
    ui->MT_Regua->setText(level == QStringLiteral("S/Inf.") || level.isEmpty() ? level : level + QStringLiteral(" mm"));
    ui->MT_Volume20->setText(text(m.volume20));

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
