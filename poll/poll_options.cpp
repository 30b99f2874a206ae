#include "poll/poll_options.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int Day = 24 * 60 * 60 * 1000;
constexpr double LongestIntervalMinutes = 7 * 24 * 60;

// A whole number from `lowest` to `highest`, or nothing.
std::optional<int> wholeNumber(const QString &text, int lowest, int highest)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

struct WholeOption {
    const char *name;
    int PollOptions::*field;
    int lowest;
    int highest;
};

constexpr WholeOption WholeOptions[] = {
    {"parallel", &PollOptions::parallel, 1, 100000},
    {"connect-timeout-ms", &PollOptions::connectTimeoutMs, 1, Day},
    {"reply-timeout-ms", &PollOptions::replyTimeoutMs, 1, Day},
    {"retries", &PollOptions::retries, 0, 20},
    {"backoff-ms", &PollOptions::backoffMs, 0, Day},
    {"on-alarm-timeout-ms", &PollOptions::alarmTimeoutMs, 1, Day},
    {"history-wait-ms", &PollOptions::historyWaitMs, 0, Day},
};

// The options with a value; false after setting *error.
bool applyOption(const QString &name, const QString &value, PollOptions &options, QString *error)
{
    for (const WholeOption &option : WholeOptions) {
        if (name != QLatin1String(option.name))
            continue;
        const std::optional<int> number = wholeNumber(value, option.lowest, option.highest);
        if (!number) {
            *error = QStringLiteral("valor inválido para --%1: \"%2\" (número inteiro de %3 a %4)")
                         .arg(name, value)
                         .arg(option.lowest)
                         .arg(option.highest);
            return false;
        }
        options.*option.field = *number;
        return true;
    }
    if (name == QLatin1String("every")) {
        bool ok = false;
        const double minutes = value.toDouble(&ok);
        if (!ok || !std::isfinite(minutes) || minutes <= 0 || minutes > LongestIntervalMinutes) {
            *error = QStringLiteral("intervalo inválido: \"%1\" (minutos, maior que zero, até %2)")
                         .arg(value)
                         .arg(LongestIntervalMinutes);
            return false;
        }
        options.everyMs = std::max(1, int(std::lround(minutes * 60000)));
    } else if (name == QLatin1String("data-dir")) {
        options.dataDirectory = value;
    } else if (name == QLatin1String("database")) {
        const ParsedDatabaseLocation parsed = parseDatabaseUrl(value);
        if (!parsed.location) {
            *error = parsed.error;
            return false;
        }
        options.database = parsed.location;
    } else if (name == QLatin1String("stations")) {
        options.stationsFile = value;
    } else if (name == QLatin1String("log")) {
        options.logFile = value;
    } else if (name == QLatin1String("on-alarm")) {
        if (value.trimmed().isEmpty()) {
            *error = QStringLiteral("--on-alarm precisa de um comando");
            return false;
        }
        options.alarmCommand = value;
    } else {
        *error = QStringLiteral("opção desconhecida: \"--%1\"").arg(name);
        return false;
    }
    return true;
}

ParsedPollArguments failure(const QString &error)
{
    ParsedPollArguments parsed;
    parsed.error = error;
    return parsed;
}

} // namespace

ParsedPollArguments parsePollArguments(const QStringList &arguments)
{
    PollOptions options;
    bool once = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            ParsedPollArguments parsed;
            parsed.help = true;
            return parsed;
        }
        if (!argument.startsWith(QLatin1String("--")) || argument.size() == 2)
            return failure(QStringLiteral("argumento inesperado: \"%1\"").arg(argument));

        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = argument.mid(2, equals < 0 ? -1 : equals - 2);
        if (name == QLatin1String("once")) {
            if (equals >= 0)
                return failure(QStringLiteral("a opção --once não leva valor"));
            once = true;
            continue;
        }
        QString value;
        if (equals >= 0)
            value = argument.mid(equals + 1);
        else if (i + 1 < arguments.size())
            value = arguments.at(++i);
        else
            return failure(QStringLiteral("a opção --%1 precisa de um valor").arg(name));
        QString error;
        if (!applyOption(name, value, options, &error))
            return failure(error);
    }
    if (once && options.everyMs > 0)
        return failure(QStringLiteral("use --once ou --every, não os dois"));
    ParsedPollArguments parsed;
    parsed.options = options;
    return parsed;
}

QString pollUsageText()
{
    return QStringLiteral(
        "Uso: comzelta-poll [opções]\n"
        "\n"
        "Lê todos os postos: identificação, inventário de todos os tanques (MA), sensores (LS) e\n"
        "relógio (LR), e guarda tudo no histórico (Historico.sqlite no diretório de dados, ou o\n"
        "banco de --database).\n"
        "\n"
        "Postos e senhas:\n"
        "  --data-dir DIR            o diretório de dados do console (Configuração.TXT, poll.ini,\n"
        "                            Historico.sqlite)\n"
        "  --database URL            guarda o histórico num banco PostgreSQL em vez de\n"
        "                            Historico.sqlite: postgresql://usuário@servidor:porta/banco,\n"
        "                            ou ...?host=/diretório/do/socket; a senha nunca vai na linha\n"
        "                            de comando: fica em ~/.pgpass ou PGPASSFILE\n"
        "  --stations ARQUIVO        um arquivo de frota CSV (descrição;host;porta;fuso;chave de\n"
        "                            senha) em vez da lista de postos do console; sem limite de 40\n"
        "  As senhas ficam em poll.ini no diretório de dados, legível só pelo dono (chmod 600).\n"
        "\n"
        "Quando:\n"
        "  --once                    uma rodada por todos os postos (padrão)\n"
        "  --every MINUTOS           uma rodada a cada intervalo, até SIGTERM ou SIGINT; um posto\n"
        "                            ainda ocupado fica fora da rodada seguinte\n"
        "  --parallel N              postos lidos ao mesmo tempo (padrão: todos)\n"
        "\n"
        "Falhas:\n"
        "  --connect-timeout-ms MS   espera pela conexão, padrão 5000\n"
        "  --reply-timeout-ms MS     espera por cada resposta, padrão 10000\n"
        "  --retries N               novas tentativas de um posto que falhou, padrão 2\n"
        "  --backoff-ms MS           espera antes da primeira nova tentativa, dobrando a cada\n"
        "                            uma, padrão 2000\n"
        "  --history-wait-ms MS      com o histórico indisponível (servidor fora do ar), as\n"
        "                            leituras esperam na fila; ao fim de --once, espera o\n"
        "                            histórico voltar até esse tempo, padrão 60000\n"
        "\n"
        "Saída:\n"
        "  --log ARQUIVO             cada quadro com a hora e o posto (senhas mascaradas)\n"
        "  --on-alarm COMANDO        executado a cada alarme (sem shell, a não ser que o comando\n"
        "                            o chame), com COMZELTA_ALARM, COMZELTA_ALARM_STATE,\n"
        "                            COMZELTA_STATION, COMZELTA_HOST, COMZELTA_SUBJECT,\n"
        "                            COMZELTA_DETAIL e COMZELTA_AT no ambiente\n"
        "  --on-alarm-timeout-ms MS  encerra o comando depois desse tempo, padrão 30000\n"
        "\n"
        "Código de saída: 0 todos os postos lidos (ou encerrado por sinal), 3 algum posto falhou,\n"
        "2 erro de uso ou de configuração, 1 outro erro (como um histórico que não pôde ser gravado).\n");
}
