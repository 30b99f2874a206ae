#include "store/database_option.h"

#include "store/store_texts.h"

#include <QCommandLineParser>

QCommandLineOption databaseOption()
{
    return QCommandLineOption(
        QStringLiteral("database"),
        QStringLiteral("Guarda o histórico num banco PostgreSQL em vez de Historico.sqlite no diretório de dados: "
                       "postgresql://usuário@servidor:porta/banco, ou ...?host=/diretório/do/socket. A senha nunca "
                       "vai na linha de comando: fica em ~/.pgpass ou PGPASSFILE."),
        QStringLiteral("URL"));
}

Result<std::optional<DatabaseLocation>, QString> databaseOptionValue(const QCommandLineParser &parser,
                                                                     const QCommandLineOption &option)
{
    if (!parser.isSet(option))
        return std::optional<DatabaseLocation>();
    const Result<DatabaseLocation, DatabaseUrlProblem> parsed = parseDatabaseUrl(parser.value(option));
    if (!parsed)
        return failure(databaseUrlProblemText(parsed.error()));
    return std::optional<DatabaseLocation>(*parsed);
}
