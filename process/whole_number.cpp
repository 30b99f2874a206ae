#include "process/whole_number.h"

#include <QCommandLineParser>

QCommandLineOption wholeNumberOption(const QString &name, QString help, const QString &valueName, int fallback)
{
    const QString number = QString::number(fallback);
    return QCommandLineOption(name, help.replace(QLatin1String("%1"), number), valueName, number);
}

Result<int, CommandLineProblem> readWholeNumber(const QCommandLineParser &parser, const QCommandLineOption &option,
                                                int lowest, int highest)
{
    if (!parser.isSet(option))
        return option.defaultValues().value(0).toInt();
    const QString text = parser.value(option);
    bool ok = false;
    const int value = text.toInt(&ok);
    if (ok && value >= lowest && value <= highest)
        return value;
    CommandLineProblem problem;
    problem.kind = CommandLineProblem::Kind::NotAWholeNumber;
    problem.argument = QStringLiteral("--") + option.names().constLast();
    problem.value = text;
    problem.lowest = lowest;
    problem.highest = highest;
    return failure(problem);
}
