#include "config/station_paths.h"
#include "console/form1.h"
#include "console/qt_translations.h"
#include "store/database_location.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("comzelta"));
    QApplication::setApplicationVersion(QStringLiteral("3.00a"));
    if (!installQtTranslations(app))
        qWarning("Traduções do Qt não encontradas: os botões do Qt ficam em inglês.");

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Console de comunicação com os controladores Zelta"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("Diretório de dados (onde fica Configuração.TXT)."),
                                     QStringLiteral("DIR"));
    parser.addOption(dataDir);
    const QCommandLineOption database(
        QStringLiteral("database"),
        QStringLiteral("Guarda o histórico num banco PostgreSQL em vez de Historico.sqlite no diretório de "
                       "dados: postgresql://usuário@servidor:porta/banco, ou ...?host=/diretório/do/socket. "
                       "A senha nunca vai na linha de comando: fica em ~/.pgpass ou PGPASSFILE."),
        QStringLiteral("URL"));
    parser.addOption(database);
    parser.process(app);

    std::optional<DatabaseLocation> history;
    if (parser.isSet(database)) {
        const ParsedDatabaseLocation parsed = parseDatabaseUrl(parser.value(database));
        if (!parsed.location) {
            fprintf(stderr, "%s\n", qUtf8Printable(parsed.error));
            return 2;
        }
        history = parsed.location;
    }

    const QString directory = dataDirectoryOrDefault(parser.value(dataDir));
    // The history and the first station file go there; the operator need not make it first.
    if (!QDir().mkpath(directory))
        qWarning("Não foi possível criar o diretório de dados %s.", qUtf8Printable(QDir::toNativeSeparators(directory)));

    Form1 console(directory, nullptr, {}, history);
    // The operator may leave from the first-start editor, before there is an event loop to quit.
    if (!console.Form_Load())
        return 0;
    console.show();
    return app.exec();
}
