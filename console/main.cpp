#include "config/station_paths.h"
#include "console/form1.h"
#include "console/qt_translations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

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
    parser.process(app);

    QString directory = parser.isSet(dataDir) ? parser.value(dataDir) : defaultDataDirectory();
    if (!directory.endsWith(QLatin1Char('/')))
        directory += QLatin1Char('/');

    Form1 console(directory);
    // The operator may leave from the first-start editor, before there is an event loop to quit.
    if (!console.Form_Load())
        return 0;
    console.show();
    return app.exec();
}
