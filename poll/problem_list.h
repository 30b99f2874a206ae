#pragma once

#include <QStringList>

// The problems of a file or a fleet: the first 20 told whole, the rest counted ("… e mais 99.980
// erros"). A thousand broken rows need their first few mended before the rest are worth reading.
class ProblemList {
public:
    static constexpr int Told = 20;

    explicit ProblemList(QStringList *told) : told_(told) {}
    void add(const QString &problem);
    // Adds the count of the problems not told, if any.
    void finish();

private:
    QStringList *told_;
    qint64 untold_ = 0;
};
