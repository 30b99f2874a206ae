#include "dialogs/form6.h"

#include "ui_form6.h"

Form6::Form6(QWidget *parent)
    : EntryDialog(parent)
    , ui(std::make_unique<Ui::Form6>())
{
    ui->setupUi(this);
    connect(ui->Solicitar_Medicoes, &QPushButton::clicked, this, &Form6::Solicitar_Medicoes_Click);
}

Form6::~Form6() = default;

std::optional<QString> Form6::ask(QWidget *parent)
{
    return askEntry<Form6>(parent);
}

void Form6::Solicitar_Medicoes_Click()
{
    submit(ui->Data_Medicoes->text());
}
