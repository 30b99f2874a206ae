#include "dialogs/form3.h"

#include "ui_form3.h"

Form3::Form3(QWidget *parent)
    : EntryDialog(parent)
    , ui(std::make_unique<Ui::Form3>())
{
    ui->setupUi(this);
    connect(ui->Validar_Senha, &QPushButton::clicked, this, &Form3::Validar_Senha_Click);
}

Form3::~Form3() = default;

std::optional<QString> Form3::ask(QWidget *parent)
{
    return askEntry<Form3>(parent);
}

void Form3::Validar_Senha_Click()
{
    submit(ui->Senha->text());
}
