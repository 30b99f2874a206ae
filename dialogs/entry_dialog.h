#pragma once

#include <QDialog>
#include <QString>
#include <optional>

// A modal window that asks for one text. The text is handed over only when the window's own
// button was pressed; closing it any other way hands over nothing, so the console keeps the
// value it had.
class EntryDialog : public QDialog
{
public:
    const std::optional<QString> &entered() const { return m_entered; }

protected:
    using QDialog::QDialog;

    void submit(const QString &text)
    {
        m_entered = text;
        accept();
    }

private:
    std::optional<QString> m_entered;
};

// Shows the dialog modally and returns what its button handed over, if anything.
template <class Dialog>
std::optional<QString> askEntry(QWidget *parent)
{
    Dialog dialog(parent);
    dialog.exec();
    return dialog.entered();
}
