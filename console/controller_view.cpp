// "LR"/"AR" clock, "LS" leak sensors, "CF" configuration and "ID" identification replies, and
// the procedures that clear their panels.
#include "console/form1.h"

#include "codec/windows1252.h"
#include "protocol/numeric_text.h"
#include "protocol/text_fields.h"
#include "console/sensor_colours.h"
#include "session/session_request.h"
#include "ui_form1.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>

#include <algorithm>

namespace {

constexpr int SensorLabels = 32;

} // namespace

void Form1::interpretarRelogio(const ClockReading &clock)
{
    ui->LR_Hora->setText(fromWindows1252(zelta::splitTime(toWindows1252(clock.time))));
    ui->LR_Data->setText(fromWindows1252(zelta::splitDate(toWindows1252(clock.date))));
    ui->LR_Dia->setText(clock.day);
}

void Form1::interpretarSensores(const SensorReading &sensors)
{
    ui->Est_Rbar1->setText(sensors.bar1Active ? QStringLiteral("ATIVA") : QStringLiteral("INATIVA"));
    ui->Est_Rbar2->setText(sensors.bar2Active ? QStringLiteral("ATIVA") : QStringLiteral("INATIVA"));

    // There are 32 sensor labels; a controller reporting more sensors shows the first 32, one
    // reporting fewer leaves no label of an earlier reading beyond its own.
    const int count = std::clamp(numSensores_, 0, SensorLabels);
    for (int i = count + 1; i <= SensorLabels; ++i)
        findChild<QLabel *>(QStringLiteral("Label26_%1").arg(i - 1))->hide();
    for (int i = 1; i <= count; ++i) {
        auto *label = findChild<QLabel *>(QStringLiteral("Label26_%1").arg(i - 1));
        const LeakSensorState state = sensors.state(i);
        if (state == LeakSensorState::None) {
            label->hide();
            continue;
        }
        label->setText(QStringLiteral("Sensor#%1 %2").arg(i, 2, 10, QLatin1Char('0')).arg(sensorStateLabel(state)));
        setBackground(label, sensors.states.at(i - 1) == QLatin1Char('2') ? SensorNormal : SensorAlarm);
        label->show();
    }
}

void Form1::interpretarConfiguracao(const ConfigurationReading &config)
{
    ui->CF_NumTanques->setText(config.tanks);
    leituras_.setTankCount(declaredTankCount(zelta::leadingNumber(toWindows1252(config.tanks))));
    ui->CF_NumSensores->setText(config.sensors);
    numSensores_ = zelta::roundHalfEven(zelta::leadingNumber(toWindows1252(config.sensors)));
    ui->CF_NumOFE->setText(config.ofe);
    if (const QString type = meterTypeName(config.meterType); !type.isEmpty())
        ui->CF_TipoMedidor->setText(type);

    for (QWidget *panel : {ui->Frame3, ui->Frame5, ui->Frame7, ui->Frame10})
        panel->setEnabled(true);

    limparSelecaoTanques();
    for (int i = 1; i <= 16; ++i)
        TQ_Ativo_->button(i - 1)->setEnabled(i <= leituras_.tankCount());

    ui->Abrir_Conexao->setEnabled(false);
    ui->Fechar_Conexao->setEnabled(true);
}

// The session sends "CF" with the password when the address is "A01".
void Form1::interpretarIdentificacao(const IdentificationReading &id)
{
    ui->ID_Endereco->setText(id.address);
    ui->ID_Versao->setText(id.version);
    ui->Estado->setText(QStringLiteral("ON-LINE"));
}

// A controller leaves a configuration request with a wrong password unanswered: the operator is told,
// and may press "Conectar Zelta" again.
void Form1::mostrarAberturaSemResposta(const SessionRequest &opening)
{
    if (opening.outcome() != SessionRequest::Outcome::TimedOut || !opening.identification())
        return;
    ui->Inf_Erro->setText(QStringLiteral("Sem resposta à configuração: verifique a senha"));
    ui->Abrir_Conexao->setEnabled(true);
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
