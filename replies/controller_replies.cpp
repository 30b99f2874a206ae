// "LR"/"AR" clock, "LS" leak sensors, "CF" configuration and "ID" identification replies, and
// the procedures that clear their panels.
#include "console/form1.h"

#include "codec/windows1252.h"
#include "protocol/numeric_text.h"
#include "protocol/replies.h"
#include "protocol/requests.h"
#include "protocol/text_fields.h"
#include "replies/sensor_colours.h"
#include "ui_form1.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>

namespace {

constexpr int SensorLabels = 32;

QString sensorStateName(int state)
{
    switch (state) {
    case 1: return QStringLiteral("em Curto");
    case 2: return QStringLiteral("Normal");
    case 3: return QStringLiteral("Vazamento");
    default: return QStringLiteral("Aberto");
    }
}

QString meterTypeName(const std::string &type)
{
    if (type == "1")
        return QStringLiteral("Posto");
    if (type == "2")
        return QStringLiteral("Industrial");
    if (type == "3")
        return QStringLiteral("Frotista");
    return {};
}

} // namespace

void Form1::interpretarRelogio(const std::string &frame)
{
    const zelta::ClockFields clock = zelta::decodeClock(frame);
    ui->LR_Hora->setText(fromWindows1252(zelta::splitTime(clock.time)));
    ui->LR_Data->setText(fromWindows1252(zelta::splitDate(clock.date)));
    ui->LR_Dia->setText(fromWindows1252(clock.day));
}

void Form1::interpretarSensores(const std::string &frame)
{
    const zelta::SensorFields sensors = zelta::decodeSensors(frame);
    ui->Est_Rbar1->setText(sensors.bar1Active ? QStringLiteral("ATIVA") : QStringLiteral("INATIVA"));
    ui->Est_Rbar2->setText(sensors.bar2Active ? QStringLiteral("ATIVA") : QStringLiteral("INATIVA"));

    // There are 32 sensor labels; a controller reporting more sensors shows the first 32.
    const int count = std::min(state_.Num_Sensores, SensorLabels);
    for (int i = 1; i <= count; ++i) {
        auto *label = findChild<QLabel *>(QStringLiteral("Label26_%1").arg(i - 1));
        const int state = zelta::sensorState(sensors, i);
        if (state < 1) {
            label->hide();
            continue;
        }
        label->setText(QStringLiteral("Sensor#%1 %2").arg(i, 2, 10, QLatin1Char('0')).arg(sensorStateName(state)));
        setBackground(label, sensors.states[std::size_t(i - 1)] == '2' ? SensorNormal : SensorAlarm);
        label->show();
    }
}

void Form1::interpretarConfiguracao(const std::string &frame)
{
    const zelta::ConfigurationFields config = zelta::decodeConfiguration(frame);
    ui->CF_NumTanques->setText(fromWindows1252(config.tanks));
    state_.Num_Tanques = zelta::leadingNumber(config.tanks);
    ui->CF_NumSensores->setText(fromWindows1252(config.sensors));
    state_.Num_Sensores = zelta::roundHalfEven(zelta::leadingNumber(config.sensors));
    ui->CF_NumOFE->setText(fromWindows1252(config.ofe));
    if (const QString type = meterTypeName(config.meterType); !type.isEmpty())
        ui->CF_TipoMedidor->setText(type);

    for (QWidget *panel : {ui->Frame3, ui->Frame5, ui->Frame7, ui->Frame10})
        panel->setEnabled(true);

    limparSelecaoTanques();
    const double tanques = zelta::leadingNumber(toWindows1252(ui->CF_NumTanques->text()));
    for (int i = 1; i <= 16; ++i)
        TQ_Ativo_->button(i - 1)->setEnabled(i <= tanques);

    ui->Abrir_Conexao->setEnabled(false);
    ui->Fechar_Conexao->setEnabled(true);
}

void Form1::interpretarIdentificacao(const std::string &frame)
{
    const zelta::IdentificationFields id = zelta::decodeIdentification(frame);
    ui->ID_Endereco->setText(fromWindows1252(id.address));
    ui->ID_Versao->setText(fromWindows1252(id.version));
    ui->Estado->setText(QStringLiteral("ON-LINE"));
    if (ui->ID_Endereco->text() == QLatin1String(Endereco_Medidor))
        comandoSimples(zelta::configurationBody(toWindows1252(state_.Senha_Usuario)));
}

void Form1::Limpar_Informacoes_do_Medidor()
{
    for (QLineEdit *box : {ui->ID_Endereco, ui->ID_Versao, ui->Estado, ui->CF_NumTanques, ui->CF_NumOFE, ui->CF_TipoMedidor})
        box->clear();
}

void Form1::Limpar_Outras_Informacoes()
{
    for (QLineEdit *box : {ui->LR_Dia, ui->LR_Data, ui->LR_Hora, ui->Inf_Erro})
        box->clear();
}

void Form1::Limpar_Monitoramento_de_Vazamento()
{
    for (QLineEdit *box : {ui->CF_NumSensores, ui->Est_Rbar1, ui->Est_Rbar2})
        box->clear();
    for (int k = 0; k < SensorLabels; ++k)
        findChild<QLabel *>(QStringLiteral("Label26_%1").arg(k))->hide();
}
