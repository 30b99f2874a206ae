#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// Answers every message box that opens while it lives, as the operator pressing Esc would, and
// records its text, so a test neither blocks on a box nor misses one.
class MessageBoxWatcher
{
public:
    MessageBoxWatcher()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            texts << box->text();
            titles << box->windowTitle();
            if (QAbstractButton *escape = box->escapeButton())
                escape->click();
            else
                box->reject();
        });
        timer.start(5);
    }

    QStringList texts;
    QStringList titles;

private:
    QTimer timer;
};
