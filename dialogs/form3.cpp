#include "dialogs/form3.h"

#include "session/controller_password.h"
#include "ui_form3.h"

#include <QMessageBox>

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

// A password the controller cannot be given keeps the window open, so it can be typed again.
void Form3::Validar_Senha_Click()
{
    const QString problem = passwordProblem(ui->Senha->text());
    if (problem.isEmpty()) {
        submit(ui->Senha->text());
        return;
    }
    QMessageBox box(QMessageBox::Information, QStringLiteral("Aviso"),
                    QStringLiteral("Senha não aceita: %1.").arg(problem), QMessageBox::Ok, this);
    box.exec();
    ui->Senha->setFocus();
}
