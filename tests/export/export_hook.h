#pragma once

#include "export/save_dialog.h"

#include <QStringList>

// Stands in for the file dialog while it lives: records each question and answers with `answer`
// (empty: the operator cancelled).
class SaveDialogStandIn {
public:
    explicit SaveDialogStandIn(QString answer) : answer_(std::move(answer))
    {
        setSavePathQuestion([this](QWidget *, const QString &caption, const QString &suggestedPath) {
            captions << caption;
            suggested << suggestedPath;
            return answer_;
        });
    }
    ~SaveDialogStandIn() { setSavePathQuestion({}); }

    QStringList captions;
    QStringList suggested;

private:
    QString answer_;
};
