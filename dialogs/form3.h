#pragma once

#include "dialogs/entry_dialog.h"

#include <memory>

namespace Ui {
class Form3;
}

// "Abertura Zelta": asks for the user's password, which the console forwards to the controller;
// one it cannot be given is refused with a message.
class Form3 : public EntryDialog
{
    Q_OBJECT

public:
    explicit Form3(QWidget *parent = nullptr);
    ~Form3() override;

    // The password exactly as typed when "Conectar" was pressed and accepted; nothing if the
    // window was closed another way.
    static std::optional<QString> ask(QWidget *parent = nullptr);

private slots:
    void Validar_Senha_Click();

private:
    std::unique_ptr<Ui::Form3> ui;
};
