#include "cli/cli_options.h"

#include <algorithm>
#include <cmath>

namespace {

struct CommandName {
    const char *name;
    CliCommand command;
};

constexpr CommandName Commands[] = {
    {"identify", CliCommand::Identify},   {"clock", CliCommand::Clock},
    {"set-clock", CliCommand::SetClock},  {"measure", CliCommand::Measure},
    {"memory", CliCommand::Memory},       {"inventory", CliCommand::Inventory},
    {"sensors", CliCommand::Sensors},     {"scheduled", CliCommand::Scheduled},
};

// Beyond a day a reply is not late but lost, and the milliseconds still fit an int.
constexpr double LongestTimeoutSeconds = 86400;
constexpr int HighestTank = 16;

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

std::optional<CliCommand> commandNamed(const QString &name)
{
    for (const CommandName &known : Commands) {
        if (name == QLatin1String(known.name))
            return known.command;
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

// The option values; false after setting *error.
bool applyOption(const QString &name, const QString &value, CliOptions &options, QString *error)
{
    if (name == QLatin1String("password-file")) {
        options.passwordFile = value;
    } else if (name == QLatin1String("data-dir")) {
        options.dataDirectory = value;
    } else if (name == QLatin1String("database")) {
        const ParsedDatabaseLocation parsed = parseDatabaseUrl(value);
        if (!parsed.location) {
            *error = parsed.error;
            return false;
        }
        options.database = parsed.location;
    } else if (name == QLatin1String("format")) {
        if (value == QLatin1String("text"))
            options.format = OutputFormat::Text;
        else if (value == QLatin1String("csv"))
            options.format = OutputFormat::Csv;
        else if (value == QLatin1String("json"))
            options.format = OutputFormat::Json;
        else {
            *error = QStringLiteral("formato desconhecido: \"%1\" (text, csv ou json)").arg(value);
            return false;
        }
    } else if (name == QLatin1String("timeout")) {
        bool ok = false;
        const double seconds = value.toDouble(&ok);
        if (!ok || !std::isfinite(seconds) || seconds <= 0 || seconds > LongestTimeoutSeconds) {
            *error = QStringLiteral("tempo limite inválido: \"%1\" (segundos, maior que zero)").arg(value);
            return false;
        }
        options.timeoutMs = std::max(1, int(std::lround(seconds * 1000)));
    }
    return true;
}

bool needsValue(const QString &name)
{
    return name == QLatin1String("password-file") || name == QLatin1String("data-dir")
        || name == QLatin1String("database") || name == QLatin1String("format")
        || name == QLatin1String("timeout");
}

ParsedArguments failure(const QString &error)
{
    ParsedArguments parsed;
    parsed.error = error;
    return parsed;
}

// The positional arguments: STATION COMMAND [ARGUMENT].
ParsedArguments withPositionals(CliOptions options, const QStringList &positionals)
{
    if (positionals.isEmpty())
        return failure(QStringLiteral("falta o posto"));
    if (positionals.size() < 2)
        return failure(QStringLiteral("falta o comando"));
    options.station = positionals.at(0);
    const QString &name = positionals.at(1);
    const std::optional<CliCommand> command = commandNamed(name);
    if (!command)
        return failure(QStringLiteral("comando desconhecido: \"%1\"").arg(name));
    options.command = *command;

    const int expected = takesArgument(*command) ? 3 : 2;
    if (positionals.size() > expected)
        return failure(QStringLiteral("argumento a mais: \"%1\"").arg(positionals.at(expected)));
    if (positionals.size() < expected) {
        return failure(*command == CliCommand::Scheduled
                           ? QStringLiteral("o comando scheduled precisa da data (DDMMAA)")
                           : QStringLiteral("o comando %1 precisa do número do tanque").arg(name));
    }
    if (*command == CliCommand::Scheduled) {
        options.argument = positionals.at(2);
        if (options.argument.size() != 6 || !allDigits(options.argument))
            return failure(QStringLiteral("data inválida: \"%1\" (DDMMAA, 6 algarismos)").arg(options.argument));
    } else if (expected == 3) {
        options.argument = tankArgument(positionals.at(2));
        if (options.argument.isEmpty())
            return failure(QStringLiteral("tanque inválido: \"%1\" (de 1 a %2)").arg(positionals.at(2)).arg(HighestTank));
    }
    ParsedArguments parsed;
    parsed.options = options;
    return parsed;
}

} // namespace

ParsedArguments parseArguments(const QStringList &arguments)
{
    CliOptions options;
    QStringList positionals;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            positionals << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            ParsedArguments parsed;
            parsed.help = true;
            return parsed;
        }
        if (!argument.startsWith(QLatin1String("--")))
            return failure(QStringLiteral("opção desconhecida: \"%1\"").arg(argument));

        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = argument.mid(2, equals < 0 ? -1 : equals - 2);
        if (name == QLatin1String("log")) {
            if (equals >= 0)
                return failure(QStringLiteral("a opção --log não leva valor"));
            options.log = true;
            continue;
        }
        if (!needsValue(name))
            return failure(QStringLiteral("opção desconhecida: \"--%1\"").arg(name));
        QString value;
        if (equals >= 0) {
            value = argument.mid(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments.at(++i);
        } else {
            return failure(QStringLiteral("a opção --%1 precisa de um valor").arg(name));
        }
        QString error;
        if (!applyOption(name, value, options, &error))
            return failure(error);
    }
    return withPositionals(options, positionals);
}

QString usageText()
{
    return QStringLiteral(
        "Uso: comzelta-cli [opções] POSTO COMANDO [ARGUMENTO]\n"
        "\n"
        "POSTO    a descrição de um posto na lista de postos, ou HOST[:PORTA] (endereço IP ou\n"
        "         nome de host; porta 4001 se omitida)\n"
        "COMANDO  identify | clock | set-clock | measure TANQUE | memory TANQUE | inventory |\n"
        "         sensors | scheduled DDMMAA\n"
        "\n"
        "O que o controlador responde fica no histórico (Historico.sqlite no diretório de dados,\n"
        "ou o banco de --database), como no console.\n"
        "\n"
        "Opções:\n"
        "  --password-file ARQUIVO  a senha do controlador (primeira linha); sem ela, a variável\n"
        "                           de ambiente COMZELTA_PASSWORD\n"
        "  --format text|csv|json   padrão text: uma tabela como o operador a leria\n"
        "  --timeout SEGUNDOS       espera por cada resposta, padrão 10 (frações permitidas)\n"
        "  --data-dir DIR           o diretório de dados do console (Configuração.TXT,\n"
        "                           Historico.sqlite)\n"
        "  --database URL           guarda o histórico num banco PostgreSQL em vez de\n"
        "                           Historico.sqlite: postgresql://usuário@servidor:porta/banco,\n"
        "                           ou ...?host=/diretório/do/socket; a senha nunca vai na linha\n"
        "                           de comando: fica em ~/.pgpass ou PGPASSFILE\n"
        "  --log                    o registro dos quadros na saída de erro\n");
}
