#pragma once

#include "dialogs/entry_dialog.h"

#include <memory>

namespace Ui {
class Form6;
}

// "Digitar Data": asks for the date (DDMMAA) of the scheduled measurements to request.
class Form6 : public EntryDialog
{
    Q_OBJECT

public:
    explicit Form6(QWidget *parent = nullptr);
    ~Form6() override;

    // The date exactly as typed when "Solicitar Medições" was pressed; nothing if the window
    // was closed another way. The caller checks it with isScheduleDateAcceptable().
    static std::optional<QString> ask(QWidget *parent = nullptr);

private slots:
    void Solicitar_Medicoes_Click();

private:
    std::unique_ptr<Ui::Form6> ui;
};
