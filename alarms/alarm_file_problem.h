#pragma once

#include <QString>
#include <QStringList>

// Why alarmes.ini cannot be used; the operator's words are alarmFileProblemText's.
struct AlarmFileProblem {
    enum class Kind {
        NotOpened,  // detail: the system's reason, path included
        Invalid,    // problems: each naming its line
    };

    Kind kind = Kind::Invalid;
    QString path;
    QString detail;
    QStringList problems;
};

QString alarmFileProblemText(const AlarmFileProblem &problem);
