#pragma once

#include "base/result.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

#include <variant>

// Why a command line cannot be read, before any program looks at its values.
struct CommandLineProblem {
    enum class Kind {
        UnknownOption,       // "--bogus", "-x"
        MissingValue,        // an option that takes a value, last on the line
        UnexpectedValue,     // "--once=yes"
        UnexpectedArgument,  // a word given to a program that takes none
        NotAWholeNumber,     // `value`, not from `lowest` to `highest`
    };
    Kind kind = Kind::UnknownOption;
    QString argument;  // the option or word as written, without any "=value"
    QString value;
    int lowest = 0;
    int highest = 0;
};

// Whether the program takes words that are not options.
enum class Positionals { Taken, Refused };

// "-h" and "--help" with Qt's own text, Portuguese once Qt's translations are installed. Qt's
// addHelpOption() adds "--help-all" as well, whose text Qt leaves in English.
QCommandLineOption helpOption();

// Adds `options` to `parser` and reads `arguments` (those after the program's name) into it. The
// problem told is the first as written, which Qt's parser does not say; nothing after the help
// option is looked at.
Result<void, CommandLineProblem> readCommandLine(QCommandLineParser &parser, const QList<QCommandLineOption> &options,
                                                 const QStringList &arguments, Positionals positionals);

// The problem in the words of comzelta-cli and comzelta-poll.
QString problemText(const CommandLineProblem &problem);

// A program's usage problem in words: problemText() of whichever reason it holds, the command
// line's or one of the program's own.
template <typename... Reasons>
QString usageProblemText(const std::variant<Reasons...> &problem)
{
    return std::visit([](const auto &reason) { return problemText(reason); }, problem);
}

// A program's options read whole, from its table: a `Table` has its `Options` (with a `help`
// flag) and its `Problem` (which a CommandLineProblem converts to), its `help` option among
// `all()`, `positionals`, `describe(parser)` for the description and the words it takes, and
// `values(parser)`, the options from a command line read.
template <typename Table>
Result<typename Table::Options, typename Table::Problem> readProgramOptions(const QStringList &arguments)
{
    const Table table;
    QCommandLineParser parser;
    table.describe(parser);
    if (const Result<void, CommandLineProblem> read = readCommandLine(parser, table.all(), arguments, Table::positionals);
        !read)
        return failure(read.error());
    if (!parser.isSet(table.help))
        return table.values(parser);
    typename Table::Options help;
    help.help = true;
    return help;
}

// The usage of the program whose options `Table` holds, as its --help shows it.
template <typename Table>
QString programUsage()
{
    const Table table;
    QCommandLineParser parser;
    table.describe(parser);
    parser.addOptions(table.all());
    return parser.helpText();
}
