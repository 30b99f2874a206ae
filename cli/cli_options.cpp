#include "cli/cli_options.h"

#include "cli/password_source.h"
#include "process/duration.h"
#include "store/database_option.h"

#include <QCommandLineParser>
#include <QDate>

#include <utility>

namespace {

using Kind = CliProblem::Kind;

constexpr std::pair<const char *, CliCommand> Commands[] = {
    {"identify", CliCommand::Identify},   {"clock", CliCommand::Clock},
    {"set-clock", CliCommand::SetClock},  {"measure", CliCommand::Measure},
    {"memory", CliCommand::Memory},       {"inventory", CliCommand::Inventory},
    {"sensors", CliCommand::Sensors},     {"scheduled", CliCommand::Scheduled},
};

constexpr std::pair<const char *, OutputFormat> Formats[] = {
    {"text", OutputFormat::Text}, {"csv", OutputFormat::Csv}, {"json", OutputFormat::Json}};

// Beyond a day a reply is not late but lost, and the milliseconds still fit an int.
constexpr double LongestTimeoutSeconds = 86400;
constexpr int HighestTank = 16;

// Every option, named once with its help, the name of its value and its default.
struct CliOptionTable {
    const CliOptions defaults;
    const QCommandLineOption help = helpOption();
    const QCommandLineOption passwordFile{
        QStringLiteral("password-file"),
        QStringLiteral("A senha do controlador: a primeira linha do arquivo. Sem esta opção, a variável de "
                       "ambiente %1.")
            .arg(QLatin1String(PasswordVariable)),
        QStringLiteral("ARQUIVO")};
    const QCommandLineOption format{QStringLiteral("format"),
                                    QStringLiteral("text (o padrão): uma tabela como o operador a leria; csv; json."),
                                    QStringLiteral("text|csv|json"), QStringLiteral("text")};
    const QCommandLineOption timeout{
        QStringLiteral("timeout"),
        QStringLiteral("Espera por cada resposta, em segundos (frações permitidas), padrão %1.").arg(defaults.timeoutMs / 1000),
        QStringLiteral("SEGUNDOS"), QString::number(defaults.timeoutMs / 1000.0)};
    const QCommandLineOption dataDirectory{
        QStringLiteral("data-dir"),
        QStringLiteral("O diretório de dados do console (Configuração.TXT, Historico.sqlite)."), QStringLiteral("DIR")};
    const QCommandLineOption database = databaseOption();
    const QCommandLineOption log{QStringLiteral("log"), QStringLiteral("O registro dos quadros na saída de erro.")};
    const BookOptionTable book;

    using Options = CliOptions;
    using Problem = CliUsageProblem;
    static constexpr Positionals positionals = Positionals::Taken;

    QList<QCommandLineOption> all() const
    {
        return QList<QCommandLineOption>{help, passwordFile, format, timeout, dataDirectory, database, log} + book.all();
    }
    void describe(QCommandLineParser &parser) const;
    Result<CliOptions, CliUsageProblem> values(const QCommandLineParser &parser) const;
};

void CliOptionTable::describe(QCommandLineParser &parser) const
{
    parser.setApplicationDescription(
        QStringLiteral("Um comando a um controlador Zelta. O que o controlador responde fica no histórico "
                       "(Historico.sqlite no diretório de dados, ou o banco de --database), como no console."));
    parser.addPositionalArgument(QStringLiteral("POSTO"),
                                 QStringLiteral("A descrição de um posto na lista de postos, ou HOST[:PORTA] (endereço "
                                                "IP ou nome de host; porta 4001 se omitida)."));
    parser.addPositionalArgument(QStringLiteral("COMANDO"),
                                 QStringLiteral("identify | clock | set-clock | measure TANQUE | memory TANQUE | "
                                                "inventory | sensors | scheduled DDMMAA; o livro diário, sem discar: %1")
                                     .arg(bookCommandNames()));
    parser.addPositionalArgument(QStringLiteral("ARGUMENTO"),
                                 QStringLiteral("O tanque (de 1 a %1) ou a data (DDMMAA) do comando.").arg(HighestTank),
                                 QStringLiteral("[ARGUMENTO]"));
}

bool allDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// What `name` stands for in `table`.
template <typename Value, std::size_t Count>
std::optional<Value> valueNamed(const std::pair<const char *, Value> (&table)[Count], const QString &name)
{
    for (const auto &[known, value] : table) {
        if (name == QLatin1String(known))
            return value;
    }
    return std::nullopt;
}

bool takesArgument(CliCommand command)
{
    return command == CliCommand::Measure || command == CliCommand::Memory || command == CliCommand::Scheduled;
}

// The tank as the request carries it ("03"), or an empty text for anything but 1 to 16.
QString tankArgument(const QString &text)
{
    if (!allDigits(text) || text.size() > 2)
        return {};
    const int tank = text.toInt();
    if (tank < 1 || tank > HighestTank)
        return {};
    return QStringLiteral("%1").arg(tank, 2, 10, QLatin1Char('0'));
}

// The positional arguments: STATION COMMAND [ARGUMENT].
Result<CliOptions, CliUsageProblem> withPositionals(CliOptions options, const QStringList &positionals)
{
    if (positionals.isEmpty())
        return failure(CliProblem{Kind::NoStation, {}});
    if (positionals.size() < 2)
        return failure(CliProblem{Kind::NoCommand, {}});
    options.station = positionals.at(0);
    const QString &name = positionals.at(1);
    if (const std::optional<BookCommand> book = bookCommandNamed(name)) {
        // Only notas takes more words: its files.
        if (positionals.size() > 2 && *book != BookCommand::Invoices)
            return failure(CliProblem{Kind::ExtraArgument, positionals.at(2)});
        options.book = BookOptions{};
        options.book->command = *book;
        return options;
    }
    const std::optional<CliCommand> command = valueNamed(Commands, name);
    if (!command)
        return failure(CliProblem{Kind::UnknownCommand, name});
    options.command = *command;

    const int expected = takesArgument(*command) ? 3 : 2;
    if (positionals.size() > expected)
        return failure(CliProblem{Kind::ExtraArgument, positionals.at(expected)});
    if (positionals.size() < expected)
        return failure(CliProblem{*command == CliCommand::Scheduled ? Kind::NoDate : Kind::NoTank, name});
    if (*command == CliCommand::Scheduled) {
        options.argument = positionals.at(2);
        if (options.argument.size() != 6 || !allDigits(options.argument))
            return failure(CliProblem{Kind::Date, options.argument});
        // The controller reads the year as 20AA.
        if (!QDate::fromString(options.argument.left(4) + QStringLiteral("20") + options.argument.mid(4),
                               QStringLiteral("ddMMyyyy")).isValid())
            return failure(CliProblem{Kind::NoSuchDate, options.argument});
    } else if (expected == 3) {
        options.argument = tankArgument(positionals.at(2));
        if (options.argument.isEmpty())
            return failure(CliProblem{Kind::Tank, positionals.at(2)});
    }
    return options;
}

Result<CliOptions, CliUsageProblem> CliOptionTable::values(const QCommandLineParser &parser) const
{
    CliOptions options;
    options.passwordFile = parser.value(passwordFile);
    options.dataDirectory = parser.value(dataDirectory);
    options.log = parser.isSet(log);
    const Result<std::optional<DatabaseLocation>, QString> location = databaseOptionValue(parser, database);
    if (!location)
        return failure(CliProblem{Kind::Database, location.error()});
    options.database = *location;
    const std::optional<OutputFormat> named = valueNamed(Formats, parser.value(format));
    if (!named)
        return failure(CliProblem{Kind::UnknownFormat, parser.value(format)});
    options.format = *named;
    const Result<int, DurationProblem> waitMs = durationMs(parser.value(timeout), 1000, LongestTimeoutSeconds);
    if (!waitMs)
        return failure(CliProblem{Kind::Timeout, parser.value(timeout)});
    options.timeoutMs = *waitMs;
    Result<CliOptions, CliUsageProblem> positioned = withPositionals(options, parser.positionalArguments());
    if (!positioned || !positioned->book)
        return positioned;
    Result<BookOptions, BookProblem> bookOptions =
        book.values(positioned->book->command, parser, parser.positionalArguments().mid(2));
    if (!bookOptions)
        return failure(bookOptions.error());
    CliOptions withBook = *positioned;
    withBook.book = *bookOptions;
    return withBook;
}

} // namespace

Result<CliOptions, CliUsageProblem> parseArguments(const QStringList &arguments)
{
    return readProgramOptions<CliOptionTable>(arguments);
}

QString problemText(const CliProblem &problem)
{
    switch (problem.kind) {
    case Kind::Database:
        return problem.value;
    case Kind::UnknownFormat:
        return QStringLiteral("formato desconhecido: \"%1\" (text, csv ou json)").arg(problem.value);
    case Kind::Timeout:
        return QStringLiteral("tempo limite inválido: \"%1\" (segundos, maior que zero)").arg(problem.value);
    case Kind::NoStation:
        return QStringLiteral("falta o posto");
    case Kind::NoCommand:
        return QStringLiteral("falta o comando");
    case Kind::UnknownCommand:
        return QStringLiteral("comando desconhecido: \"%1\"").arg(problem.value);
    case Kind::ExtraArgument:
        return QStringLiteral("argumento a mais: \"%1\"").arg(problem.value);
    case Kind::NoDate:
        return QStringLiteral("o comando scheduled precisa da data (DDMMAA)");
    case Kind::NoTank:
        return QStringLiteral("o comando %1 precisa do número do tanque").arg(problem.value);
    case Kind::Date:
        return QStringLiteral("data inválida: \"%1\" (DDMMAA, 6 algarismos)").arg(problem.value);
    case Kind::NoSuchDate:
        return QStringLiteral("data inexistente: \"%1\" (DDMMAA)").arg(problem.value);
    case Kind::Tank:
        return QStringLiteral("tanque inválido: \"%1\" (de 1 a %2)").arg(problem.value).arg(HighestTank);
    }
    return {};
}

QString usageText()
{
    return programUsage<CliOptionTable>();
}
