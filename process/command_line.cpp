#include "process/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <optional>

namespace {

const QCommandLineOption *optionNamed(const QList<QCommandLineOption> &options, const QString &name)
{
    for (const QCommandLineOption &option : options) {
        if (option.names().contains(name))
            return &option;
    }
    return nullptr;
}

CommandLineProblem problem(CommandLineProblem::Kind kind, const QString &argument)
{
    CommandLineProblem found;
    found.kind = kind;
    found.argument = argument;
    return found;
}

// Stricter than Qt's parser, which takes "-log" for "--log" and "--h" for "-h": what passes here,
// Qt reads without complaint.
std::optional<CommandLineProblem> firstProblem(const QList<QCommandLineOption> &options, const QStringList &arguments,
                                               Positionals positionals)
{
    using Kind = CommandLineProblem::Kind;
    const bool wordsRefused = positionals == Positionals::Refused;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const bool word = optionsEnded || argument == QLatin1String("-") || !argument.startsWith(QLatin1Char('-'));
        if (word || argument == QLatin1String("--")) {
            if (wordsRefused)
                return problem(Kind::UnexpectedArgument, argument);
            optionsEnded = optionsEnded || !word;  // options may follow a word, not "--"
            continue;
        }
        const bool longForm = argument.startsWith(QLatin1String("--"));
        const qsizetype equals = longForm ? argument.indexOf(QLatin1Char('=')) : -1;
        const QString written = argument.left(equals);
        const QString name = written.mid(longForm ? 2 : 1);
        const QCommandLineOption *option = optionNamed(options, name);
        if (!option || (name.size() == 1) == longForm) {
            // A program without words has always called "-x" one.
            return problem(wordsRefused && !longForm ? Kind::UnexpectedArgument : Kind::UnknownOption, written);
        }
        if (option->names().contains(QStringLiteral("help")))
            return std::nullopt;
        if (option->valueName().isEmpty()) {
            if (equals >= 0)
                return problem(Kind::UnexpectedValue, written);
        } else if (equals < 0 && ++i == arguments.size()) {
            return problem(Kind::MissingValue, written);
        }
    }
    return std::nullopt;
}

} // namespace

QCommandLineOption helpOption()
{
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                              QCoreApplication::translate("QCommandLineParser", "Displays help on commandline options."));
}

Result<void, CommandLineProblem> readCommandLine(QCommandLineParser &parser, const QList<QCommandLineOption> &options,
                                                 const QStringList &arguments, Positionals positionals)
{
    parser.addOptions(options);
    if (const std::optional<CommandLineProblem> found = firstProblem(options, arguments, positionals))
        return failure(*found);
    // After the help option Qt may still find fault: the help is shown all the same.
    parser.parse(QStringList(QString()) + arguments);  // Qt skips the first: the program's name
    return {};
}

QString problemText(const CommandLineProblem &problem)
{
    switch (problem.kind) {
    case CommandLineProblem::Kind::UnknownOption:
        return QStringLiteral("opção desconhecida: \"%1\"").arg(problem.argument);
    case CommandLineProblem::Kind::MissingValue:
        return QStringLiteral("a opção %1 precisa de um valor").arg(problem.argument);
    case CommandLineProblem::Kind::UnexpectedValue:
        return QStringLiteral("a opção %1 não leva valor").arg(problem.argument);
    case CommandLineProblem::Kind::UnexpectedArgument:
        return QStringLiteral("argumento inesperado: \"%1\"").arg(problem.argument);
    case CommandLineProblem::Kind::NotAWholeNumber:
        return QStringLiteral("valor inválido para %1: \"%2\" (número inteiro de %3 a %4)")
            .arg(problem.argument, problem.value)
            .arg(problem.lowest)
            .arg(problem.highest);
    }
    return {};
}
