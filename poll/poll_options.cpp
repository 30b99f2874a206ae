#include "poll/poll_options.h"

#include "process/duration.h"
#include "process/whole_number.h"
#include "store/database_option.h"

#include <QCommandLineParser>

namespace {

using Kind = PollProblem::Kind;

constexpr int Day = 24 * 60 * 60 * 1000;
constexpr double LongestIntervalMinutes = 7 * 24 * 60;

struct WholeOption {
    QCommandLineOption option;
    int PollOptions::*field;
    int lowest;
    int highest;
};

WholeOption whole(const char *name, const QString &help, const char *valueName, int PollOptions::*field, int lowest,
                  int highest)
{
    return {wholeNumberOption(QString::fromLatin1(name), help, QString::fromLatin1(valueName), PollOptions().*field),
            field, lowest, highest};
}

// Every option, named once with its help, the name of its value and its default.
struct PollOptionTable {
    const QCommandLineOption help = helpOption();
    const QCommandLineOption dataDirectory{
        QStringLiteral("data-dir"),
        QStringLiteral("O diretório de dados do console (Configuração.TXT, poll.ini, Historico.sqlite)."),
        QStringLiteral("DIR")};
    const QCommandLineOption database = databaseOption();
    const QCommandLineOption stations{
        QStringLiteral("stations"),
        QStringLiteral("Um arquivo de frota CSV (descrição;host;porta;fuso;chave de senha) em vez da lista de "
                       "postos do console; sem limite de 40."),
        QStringLiteral("ARQUIVO")};
    const QCommandLineOption once{QStringLiteral("once"),
                                  QStringLiteral("Uma rodada por todos os postos (o padrão).")};
    const QCommandLineOption every{
        QStringLiteral("every"),
        QStringLiteral("Uma rodada a cada intervalo, até SIGTERM ou SIGINT; um posto ainda ocupado fica fora da "
                       "rodada seguinte. Cada posto é lido também na sua hora de fechamento."),
        QStringLiteral("MINUTOS")};
    const QList<WholeOption> wholeOptions{
        whole("parallel", QStringLiteral("Postos lidos ao mesmo tempo (padrão: todos)."), "N",
              &PollOptions::parallel, 1, 100000),
        whole("connect-timeout-ms", QStringLiteral("Espera pela conexão, padrão %1."), "MS",
              &PollOptions::connectTimeoutMs, 1, Day),
        whole("reply-timeout-ms", QStringLiteral("Espera por cada resposta, padrão %1."), "MS",
              &PollOptions::replyTimeoutMs, 1, Day),
        whole("retries", QStringLiteral("Novas tentativas de um posto que falhou, padrão %1."), "N",
              &PollOptions::retries, 0, 20),
        whole("backoff-ms",
              QStringLiteral("Espera antes da primeira nova tentativa, dobrando a cada uma, padrão %1."), "MS",
              &PollOptions::backoffMs, 0, Day),
        whole("history-wait-ms",
              QStringLiteral("Com o histórico indisponível (servidor fora do ar), as leituras esperam na fila; ao "
                             "fim de --once, espera o histórico voltar até esse tempo, padrão %1."),
              "MS", &PollOptions::historyWaitMs, 0, Day),
        whole("on-alarm-timeout-ms", QStringLiteral("Encerra o comando de --on-alarm depois desse tempo, padrão %1."),
              "MS", &PollOptions::alarmTimeoutMs, 1, Day),
    };
    const QCommandLineOption log{QStringLiteral("log"),
                                 QStringLiteral("Cada quadro com a hora e o posto (senhas mascaradas)."),
                                 QStringLiteral("ARQUIVO")};
    const QCommandLineOption alarmCommand{
        QStringLiteral("on-alarm"),
        QStringLiteral("Executado a cada alarme (sem shell, a não ser que o comando o chame), com COMZELTA_ALARM, "
                       "COMZELTA_ALARM_STATE, COMZELTA_STATION, COMZELTA_HOST, COMZELTA_SUBJECT, COMZELTA_DETAIL e "
                       "COMZELTA_AT no ambiente."),
        QStringLiteral("COMANDO")};

    using Options = PollOptions;
    using Problem = PollUsageProblem;
    static constexpr Positionals positionals = Positionals::Refused;

    void describe(QCommandLineParser &parser) const;
    Result<PollOptions, PollUsageProblem> values(const QCommandLineParser &parser) const;
    QList<QCommandLineOption> all() const
    {
        QList<QCommandLineOption> options{help, dataDirectory, database, stations, once, every};
        for (const WholeOption &option : wholeOptions)
            options << option.option;
        return options << log << alarmCommand;
    }
};

void PollOptionTable::describe(QCommandLineParser &parser) const
{
    parser.setApplicationDescription(QStringLiteral(
        "Lê todos os postos: identificação, inventário de todos os tanques (MA), sensores (LS) e relógio (LR), e "
        "guarda tudo no histórico (Historico.sqlite no diretório de dados, ou o banco de --database).\n"
        "As senhas ficam em poll.ini no diretório de dados, legível só pelo dono (chmod 600).\n"
        "Código de saída: 0 todos os postos lidos (ou encerrado por sinal), 3 algum posto falhou, 2 erro de uso ou "
        "de configuração, 1 outro erro (como um histórico que não pôde ser gravado)."));
}

Result<PollOptions, PollUsageProblem> PollOptionTable::values(const QCommandLineParser &parser) const
{
    PollOptions options;
    for (const WholeOption &whole : wholeOptions) {
        const Result<int, CommandLineProblem> number = readWholeNumber(parser, whole.option, whole.lowest, whole.highest);
        if (!number)
            return failure(number.error());
        options.*whole.field = *number;
    }
    if (parser.isSet(every)) {
        const Result<int, DurationProblem> interval = durationMs(parser.value(every), 60000, LongestIntervalMinutes);
        if (!interval)
            return failure(PollProblem{Kind::Interval, parser.value(every)});
        options.everyMs = *interval;
    }
    options.dataDirectory = parser.value(dataDirectory);
    const Result<std::optional<DatabaseLocation>, QString> location = databaseOptionValue(parser, database);
    if (!location)
        return failure(PollProblem{Kind::Database, location.error()});
    options.database = *location;
    options.stationsFile = parser.value(stations);
    options.logFile = parser.value(log);
    options.alarmCommand = parser.value(alarmCommand);
    if (parser.isSet(alarmCommand) && options.alarmCommand.trimmed().isEmpty())
        return failure(PollProblem{Kind::EmptyAlarmCommand, {}});
    if (parser.isSet(once) && options.everyMs > 0)
        return failure(PollProblem{Kind::OnceAndEvery, {}});
    return options;
}

} // namespace

Result<PollOptions, PollUsageProblem> parsePollArguments(const QStringList &arguments)
{
    return readProgramOptions<PollOptionTable>(arguments);
}

QString pollUsageText()
{
    return programUsage<PollOptionTable>();
}

QString problemText(const PollProblem &problem)
{
    switch (problem.kind) {
    case Kind::Interval:
        return QStringLiteral("intervalo inválido: \"%1\" (minutos, maior que zero, até %2)")
            .arg(problem.value)
            .arg(LongestIntervalMinutes);
    case Kind::Database:
        return problem.value;
    case Kind::EmptyAlarmCommand:
        return QStringLiteral("--on-alarm precisa de um comando");
    case Kind::OnceAndEvery:
        return QStringLiteral("use --once ou --every, não os dois");
    }
    return {};
}
