// "MT", "LM" and "MA" replies: the measurement panel, the drawn tank, and the tank's kept reading.
#include "console/form1.h"

#include "codec/windows1252.h"
#include "protocol/numeric_text.h"
#include "protocol/text_fields.h"
#include "tables/fill_level.h"
#include "reports/tank_drawing.h"
#include "session/series_tanks.h"
#include "session/session_request.h"
#include "ui_form1.h"

void Form1::interpretarMedicao(const MeasurementReading &m)
{
    leituras_.keepReading(zelta::roundHalfEven(zelta::leadingNumber(toWindows1252(m.tank))),
                          {m.tank, m.measured, m.complementary, m.density, m.product, m.date, m.time});
    const auto bytewise = [](std::string (*edit)(std::string_view), const QString &text) {
        return fromWindows1252(edit(toWindows1252(text)));
    };

    ui->MT1_Tanque->setText(bytewise(zelta::trimSpaces, m.tank));
    ui->MT_Produto->setText(m.product);
    ui->MT_CET->setText(m.expansion);
    ui->MT_Densidade->setText(bytewise(zelta::trimSpaces, m.density) + QStringLiteral(" g/l"));
    ui->MT_Vol_Medido->setText(m.measured);
    ui->MT_Vol_Complementar->setText(m.complementary);
    ui->MT_Hora->setText(bytewise(zelta::splitTime, m.time));
    ui->MT_Data->setText(bytewise(zelta::splitDate, m.date));
    ui->MT_Capacidade->setText(m.capacity);
    ui->MT_Regua->setText(m.level == QStringLiteral("S/Inf.") || m.level.isEmpty() ? m.level
                                                                                  : m.level + QStringLiteral(" mm"));
    ui->MT_Volume20->setText(m.volume20);

    const FillLevel fill = fillLevel(zelta::leadingNumber(toWindows1252(m.measured)),
                                     zelta::leadingNumber(toWindows1252(m.complementary)),
                                     Altura_Tanque, operatorDecimalSeparator());
    ui->Percentual->setText(fill.percentText);
    Altura_Liquido_->setAlturaLiquido(fill.coverTwips);

    ui->Label8->setText(m.byWeight ? QStringLiteral("Peso Medido") : QStringLiteral("Vol. Medido"));
    ui->Label9->setText(m.byWeight ? QStringLiteral("Peso Complementar") : QStringLiteral("Vol. Complementar"));

    ui->Inf_Erro->setText(m.lastOfReading ? QStringLiteral("Término da(s) leitura(s) do(s) tanque(s)!") : QString());
}

// The tanks an "MA" series could not read say why in their rows, rather than keep an older reading
// that the totals would count. A series cut by a change of station, or by the connection's end,
// is left alone: its tanks may already be another station's rows.
void Form1::anotarTanquesSemLeitura(const SessionRequest &series)
{
    using Outcome = SessionRequest::Outcome;
    const Outcome outcome = series.outcome();
    if (outcome != Outcome::Replied && outcome != Outcome::Unusable && outcome != Outcome::TimedOut)
        return;
    for (const TankAnswer &answer : seriesAnswers(series)) {
        const QString why = noReadingText(answer);
        if (why.isEmpty() || !answer.tank || *answer.tank < 1)
            continue;
        leituras_.keepFailure(*answer.tank, why);
    }
}

void Form1::Limpar_Informacoes_Medicao()
{
    for (QLineEdit *box : {ui->MT1_Tanque, ui->MT_Produto, ui->MT_Densidade, ui->MT_Capacidade, ui->MT_Vol_Medido,
                           ui->MT_Vol_Complementar, ui->MT_Volume20, ui->MT_Regua, ui->MT_CET, ui->MT_Data,
                           ui->MT_Hora, ui->Percentual})
        box->clear();
}
