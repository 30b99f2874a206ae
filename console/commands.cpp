// The command panel: each button builds one request text, shows it in Comando_MT1 and hands it to the link.
#include "console/form1.h"

#include "codec/windows1252.h"
#include "console/message_log_model.h"
#include "dialogs/form3.h"
#include "dialogs/form6.h"
#include "dialogs/schedule_date.h"
#include "protocol/requests.h"
#include "session/clock_setting.h"
#include "ui_form1.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDateTime>
#include <QMessageBox>

void Form1::conectarComandos()
{
    connect(ui->LR_Cmd, &QPushButton::clicked, this, &Form1::LR_Cmd_Click);
    connect(ui->Sinc_Relogio, &QPushButton::clicked, this, &Form1::Sinc_Relogio_Click);
    connect(ui->LM_Cmd, &QPushButton::clicked, this, &Form1::LM_Cmd_Click);
    connect(ui->MT_Cmd, &QPushButton::clicked, this, &Form1::MT_Cmd_Click);
    connect(ui->Ler_Sensores, &QPushButton::clicked, this, &Form1::Ler_Sensores_Click);
    connect(ui->MA_Cmd, &QPushButton::clicked, this, &Form1::MA_Cmd_Click);
    connect(ui->IV_Cmd, &QPushButton::clicked, this, &Form1::IV_Cmd_Click);
    connect(ui->Medicao_Programada, &QPushButton::clicked, this, &Form1::Medicao_Programada_Click);
}

void Form1::comandoSimples(const std::string &body)
{
    ui->Comando_MT1->setText(fromWindows1252(body));
    enviar(body);
}

void Form1::LR_Cmd_Click()
{
    comandoSimples(std::string(zelta::ReadClock));
}

void Form1::Sinc_Relogio_Click()
{
    const QByteArray body = clockSettingRequest(QByteArray::fromStdString(toWindows1252(senhaUsuario_)),
                                                QDateTime::currentDateTime());
    comandoSimples(body.toStdString());
}

void Form1::LM_Cmd_Click()
{
    comandoSimples(zelta::readMemoryBody(toWindows1252(tanqueAtivo_)));
}

void Form1::MT_Cmd_Click()
{
    comandoSimples(zelta::measureTankBody(toWindows1252(tanqueAtivo_)));
}

void Form1::Ler_Sensores_Click()
{
    comandoSimples(std::string(zelta::ReadSensors));
}

void Form1::MA_Cmd_Click()
{
    comandoSimples(std::string(zelta::MeasureAll));
}

void Form1::IV_Cmd_Click()
{
    inventarioAtivo_ = true;
    tanquesLidos_ = 0;
    comandoSimples(std::string(zelta::MeasureAll));
}

void Form1::Medicao_Programada_Click()
{
    Mostrar_Data();
    if (!isScheduleDateAcceptable(dataMedProg_)) {
        QMessageBox box(QMessageBox::Information, QString::fromUtf8(Titulo_Aviso), QString::fromUtf8(Aviso_Formato_Data),
                        QMessageBox::Ok, this);
        emit janelaAberta(&box);
        box.exec();
        return;
    }
    numMedicoes_ = 0;
    comandoSimples(zelta::scheduledBody(toWindows1252(dataMedProg_)));
}

void Form1::TQ_Ativo_Click(int index)
{
    tanqueAtivo_ = QString::fromStdString(zelta::tankNumberText(index));
}

void Form1::Limpar_Log_Click()
{
    logModel_->clear();
}

void Form1::limparSelecaoTanques()
{
    // An exclusive group always keeps one button checked; lift that while clearing.
    TQ_Ativo_->setExclusive(false);
    for (QAbstractButton *button : TQ_Ativo_->buttons())
        button->setChecked(false);
    TQ_Ativo_->setExclusive(true);
}

void Form1::Mostrar_Senha()
{
    Form3 dialog(this);
    emit janelaAberta(&dialog);
    dialog.exec();
    if (dialog.entered())
        senhaUsuario_ = *dialog.entered();
}

void Form1::Mostrar_Data()
{
    Form6 dialog(this);
    emit janelaAberta(&dialog);
    dialog.exec();
    if (dialog.entered())
        dataMedProg_ = *dialog.entered();
}
