#include "widgets/enter_presses_button.h"

#include <QKeyEvent>
#include <QPushButton>

namespace {

class EnterPressesButton : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || modifiers != Qt::NoModifier)
            return false;
        static_cast<QPushButton *>(watched)->click();
        return true;
    }
};

} // namespace

void letEnterPressFocusedButton(QWidget *window)
{
    auto *filter = new EnterPressesButton(window);
    for (QPushButton *button : window->findChildren<QPushButton *>())
        button->installEventFilter(filter);
}
