#include "config/station_paths.h"
#include "console/form1.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("comzelta"));
    QApplication::setApplicationVersion(QStringLiteral("3.00a"));

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
    console.Form_Load();
    console.show();
    return app.exec();
}
