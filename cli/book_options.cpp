#include "cli/book_options.h"

#include "imports/csv_rows.h"

#include <QRegularExpression>

#include <utility>

namespace {

using Kind = BookProblem::Kind;

constexpr std::pair<const char *, BookCommand> Commands[] = {
    {"fechamento", BookCommand::Day},       {"fechar", BookCommand::Close},        {"reabrir", BookCommand::Reopen},
    {"bicos", BookCommand::Nozzles},        {"encerrantes", BookCommand::Totalisers}, {"notas", BookCommand::Invoices},
    {"precos", BookCommand::Prices},        {"ajustes", BookCommand::Settings},    {"regua", BookCommand::Dipstick},
    {"produtos", BookCommand::Products},    {"auditoria", BookCommand::Audit},
};

// Reads the options of one command line, keeping the first problem met.
class Reader {
public:
    explicit Reader(const QCommandLineParser &parser) : parser_(parser) {}

    template <typename Value, typename Read>
    std::optional<Value> read(const QCommandLineOption &option, const QString &hint, Read convert)
    {
        if (!parser_.isSet(option))
            return std::nullopt;
        const QString text = parser_.value(option).trimmed();
        std::optional<Value> value = convert(text);
        if (!value)
            fail(Kind::BadValue, option, text, hint);
        return value;
    }

    void require(const QCommandLineOption &option)
    {
        if (!parser_.isSet(option))
            fail(Kind::Missing, option, {}, {});
    }

    void fail(Kind kind, const QCommandLineOption &option, const QString &value, const QString &hint)
    {
        if (!problem_)
            problem_ = BookProblem{kind, QStringLiteral("--") + option.names().constFirst(), value, hint};
    }

    const std::optional<BookProblem> &problem() const { return problem_; }
    const QCommandLineParser &parser() const { return parser_; }

private:
    const QCommandLineParser &parser_;
    std::optional<BookProblem> problem_;
};

std::optional<QDate> isoDay(const QString &text)
{
    const QDate day = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    return day.isValid() ? std::optional<QDate>(day) : std::nullopt;
}

std::optional<QDate> isoMonth(const QString &text)
{
    const QDate first = QDate::fromString(text + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
    return first.isValid() ? std::optional<QDate>(first) : std::nullopt;
}

std::optional<double> percent(const QString &text)
{
    const std::optional<double> value = brazilianNumber(text);
    return value && *value >= 0 && *value <= 100 ? value : std::nullopt;
}

std::optional<double> litres(const QString &text)
{
    const std::optional<double> value = brazilianNumber(text);
    return value && *value >= 0 ? value : std::nullopt;
}

std::optional<QTime> hour(const QString &text)
{
    const QTime time = QTime::fromString(text, QStringLiteral("HH:mm"));
    return time.isValid() ? std::optional<QTime>(time) : std::nullopt;
}

std::optional<ToleranceBase> toleranceBase(const QString &text)
{
    if (text == QLatin1String("disponivel") || text == QStringLiteral("disponível"))
        return ToleranceBase::Available;
    if (text == QLatin1String("fisico") || text == QStringLiteral("físico"))
        return ToleranceBase::Physical;
    return std::nullopt;
}

std::optional<VolumeBasis> volumeBasis(const QString &text)
{
    if (text == QLatin1String("ambiente"))
        return VolumeBasis::Measured;
    if (text == QLatin1String("20"))
        return VolumeBasis::At20C;
    return std::nullopt;
}

std::optional<int> digits(const QString &text)
{
    const std::optional<int> value = positiveWhole(text);
    return value && *value >= 3 && *value <= 12 ? value : std::nullopt;
}

std::optional<QString> cnpj(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{14})?$"));
    QString plain = text;
    plain.remove(QRegularExpression(QStringLiteral("[./-]")));
    return form.match(plain).hasMatch() ? std::optional<QString>(plain) : std::nullopt;
}

// "PRODUTO: texto" or "NOME=PRODUTO": both sides given.
std::optional<QPair<QString, QString>> pair(const QString &text, QChar separator)
{
    const qsizetype at = text.indexOf(separator);
    if (at <= 0)
        return std::nullopt;
    const QString first = text.left(at).trimmed();
    const QString second = text.mid(at + 1).trimmed();
    if (first.isEmpty() || second.isEmpty())
        return std::nullopt;
    return QPair<QString, QString>(first, second);
}

} // namespace

std::optional<BookCommand> bookCommandNamed(const QString &name)
{
    for (const auto &[known, command] : Commands)
        if (name == QLatin1String(known))
            return command;
    return std::nullopt;
}

QString bookCommandNames()
{
    QStringList names;
    for (const auto &entry : Commands)
        names << QLatin1String(entry.first);
    return names.join(QStringLiteral(" | "));
}

QList<QCommandLineOption> BookOptionTable::all() const
{
    return {day, month, justification, reason, import, tank, litres, mapping, closingHour, tolerance, base, basis, digits, cnpj};
}

Result<BookOptions, BookProblem> BookOptionTable::values(BookCommand command, const QCommandLineParser &parser,
                                                         const QStringList &words) const
{
    Reader reader(parser);
    BookOptions options;
    options.command = command;
    options.day = reader.read<QDate>(day, QStringLiteral("AAAA-MM-DD"), isoDay);
    options.month = reader.read<QDate>(month, QStringLiteral("AAAA-MM"), isoMonth);
    options.reason = parser.value(reason).trimmed();
    options.tank = reader.read<int>(tank, QStringLiteral("um número inteiro positivo"), positiveWhole);
    options.litres = reader.read<double>(litres, QStringLiteral("litros, com vírgula decimal"), ::litres);
    options.closingHour = reader.read<QTime>(closingHour, QStringLiteral("HH:MM"), hour);
    options.tolerancePercent = reader.read<double>(tolerance, QStringLiteral("de 0 a 100, com vírgula decimal"), percent);
    options.toleranceBase = reader.read<ToleranceBase>(base, QStringLiteral("disponivel ou fisico"), toleranceBase);
    options.volumeBasis = reader.read<VolumeBasis>(basis, QStringLiteral("ambiente ou 20"), volumeBasis);
    options.totaliserDigits = reader.read<int>(digits, QStringLiteral("de 3 a 12"), ::digits);
    options.cnpj = reader.read<QString>(cnpj, QStringLiteral("14 algarismos"), ::cnpj);
    for (const QString &text : parser.values(justification)) {
        if (const std::optional<QPair<QString, QString>> given = pair(text, QLatin1Char(':')))
            options.justifications.insert(given->first, given->second);
        else
            reader.fail(Kind::BadValue, justification, text, QStringLiteral("PRODUTO: texto"));
    }
    for (const QString &text : parser.values(mapping)) {
        if (const std::optional<QPair<QString, QString>> given = pair(text, QLatin1Char('=')))
            options.mappings << *given;
        else
            reader.fail(Kind::BadValue, mapping, text, QStringLiteral("NOME=PRODUTO"));
    }
    options.files = parser.values(import) + (command == BookCommand::Invoices ? words : QStringList());

    switch (command) {
    case BookCommand::Day:
        if (options.day && options.month)
            reader.fail(Kind::Excluding, day, QStringLiteral("--mes"), {});
        else if (!options.month)
            reader.require(day);
        break;
    case BookCommand::Close:
    case BookCommand::Audit:
        reader.require(day);
        break;
    case BookCommand::Reopen:
        reader.require(day);
        reader.require(reason);
        break;
    case BookCommand::Dipstick:
        for (const QCommandLineOption *needed : {&day, &tank, &litres, &reason})
            reader.require(*needed);
        break;
    case BookCommand::Nozzles:
    case BookCommand::Totalisers:
    case BookCommand::Prices:
        if (options.files.size() > 1)
            reader.fail(Kind::OneFile, import, {}, {});
        [[fallthrough]];
    case BookCommand::Invoices:
        if (options.files.isEmpty())
            reader.fail(Kind::NoFile, import, {}, {});
        break;
    case BookCommand::Settings:
    case BookCommand::Products:
        break;
    }
    if (reader.problem())
        return failure(*reader.problem());
    return options;
}

QString problemText(const BookProblem &problem)
{
    switch (problem.kind) {
    case Kind::Missing:
        return QStringLiteral("falta a opção %1").arg(problem.option);
    case Kind::BadValue:
        return QStringLiteral("%1 inválido: \"%2\" (%3)").arg(problem.option, problem.value, problem.hint);
    case Kind::NoFile:
        return QStringLiteral("falta o arquivo: --importar ARQUIVO");
    case Kind::OneFile:
        return QStringLiteral("um arquivo por vez em --importar");
    case Kind::Excluding:
        return QStringLiteral("%1 e %2 não vão juntos").arg(problem.option, problem.value);
    }
    return {};
}
