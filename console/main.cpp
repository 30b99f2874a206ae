#include "stations/station_paths.h"
#include "console/form1.h"
#include "process/command_line.h"
#include "process/qt_translations.h"
#include "store/database_option.h"
#include "widgets/brazilian_locale.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("comzelta"));
    QApplication::setApplicationVersion(QStringLiteral("3.00a"));
    useBrazilianLocale();
    if (!installQtTranslations(app))
        qWarning("Traduções do Qt não encontradas: os botões do Qt ficam em inglês.");

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Console de comunicação com os controladores Zelta"));
    // Qt's own help option would add "--help-all", whose text Qt leaves in English.
    const QCommandLineOption help = helpOption();
    parser.addOption(help);
    parser.addVersionOption();
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("Diretório de dados (onde fica Configuração.TXT)."),
                                     QStringLiteral("DIR"));
    parser.addOption(dataDir);
    const QCommandLineOption database = databaseOption();
    parser.addOption(database);
    parser.process(app);
    if (parser.isSet(help))
        parser.showHelp(0);

    const Result<std::optional<DatabaseLocation>, QString> history = databaseOptionValue(parser, database);
    if (!history) {
        fprintf(stderr, "%s\n", qUtf8Printable(history.error()));
        return 2;
    }

    const QString directory = dataDirectoryOrDefault(parser.value(dataDir));
    // The history and the first station file go there; the operator need not make it first.
    if (!QDir().mkpath(directory))
        qWarning("Não foi possível criar o diretório de dados %s.", qUtf8Printable(QDir::toNativeSeparators(directory)));

    Form1 console(directory, nullptr, {}, *history);
    // The operator may leave from the first-start editor, before there is an event loop to quit.
    if (!console.Form_Load())
        return 0;
    console.show();
    return app.exec();
}
