#pragma once

#include "console/form1.h"

#include <QTemporaryDir>
#include <QWidget>
#include <functional>
#include <memory>

class QLineEdit;

// A console window on a private data directory whose station list names the given controllers,
// started as the application starts it. Modal windows it opens are handed to `onWindow`.
class ConsoleFixture {
public:
    struct Station {
        QString descricao;
        QString ip;
    };

    explicit ConsoleFixture(const QList<Station> &stations, const HistoryStoreOptions &historyOptions = {});
    ~ConsoleFixture();

    Form1 &console() { return *console_; }
    const QString &dataDirectory() const { return directoryPath_; }

    template <class T> T *child(const QString &name) const { return console_->findChild<T *>(name); }
    QString text(const QString &lineEdit) const;

    // Picks the station listed at position `index` of the selector, as the operator would.
    void pick(int index);
    // Picks the station and waits until the socket is up.
    bool connectSocket(int index);
    // Connects to the station, then "Conectar Zelta" with the password, up to the configuration
    // reply that enables the panels.
    bool openDialogue(int index, const QString &password = QStringLiteral("abc"));
    // The exact log lines, control characters included.
    QStringList logLines() const;

    std::function<void(QWidget *)> onWindow;

private:
    QTemporaryDir directory_;
    QString directoryPath_;
    std::unique_ptr<Form1> console_;
};

// Answers a dialog that asks for one text: types it into `field` and presses `button`.
void answerDialog(QWidget *window, const QString &field, const QString &text, const QString &button);
