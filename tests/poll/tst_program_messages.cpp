#include "tests/support/program_run.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// What the command-line programs say when their files or arguments are wrong: the exit status and
// standard error, word for word. Nothing here reaches a controller: the stations are on loopback
// addresses where nothing listens.
namespace {

// A file's content that is no file at all.
const QByteArray Fifo = "<fifo>";
const QByteArray Directory = "<directory>";

const QString Nobody = QStringLiteral("127.0.0.229");
const QByteArray Passwords = "[geral]\nsenha = Zelta\n";
const QByteArray Fleet = "Posto A;127.0.0.229\n";

// One line of the station list: three fields of 30 columns, Windows-1252.
QByteArray stationLine(const QByteArray &description, const QByteArray &ip)
{
    return description.leftJustified(30, ' ') + ip.leftJustified(30, ' ') + "4001\r\n";
}

using Files = QList<QPair<QString, QByteArray>>;

bool make(const QString &path, const QByteArray &content)
{
    if (content == Fifo)
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (content == Directory)
        return QDir().mkpath(path);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.flush()
        && file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

// A program blocked on a FIFO fails its row here rather than hanging the test.
ProgramResult run(const QString &program, const QStringList &arguments, const QString &home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("COMZELTA_PASSWORD"), QStringLiteral("Zelta"));
    environment.insert(QStringLiteral("COMZELTA_DATA_DIR"), home);
    return runProgram(program, arguments, environment, 20000);
}

} // namespace

class TestProgramMessages : public QObject {
    Q_OBJECT

private slots:
    void messages_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");  // DIR: the data directory
        QTest::addColumn<Files>("files");           // in the data directory
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("err");           // DIR as above; the usage may follow, after a blank line

        const QString poll = QStringLiteral(COMZELTA_POLL);
        const QString cli = QStringLiteral(COMZELTA_CLI);
        const QString sim = QStringLiteral(COMZELTA_SIM);
        const QStringList once{"--once", "--data-dir", "DIR", "--connect-timeout-ms", "300", "--retries", "0"};
        const QStringList fleet = once + QStringList{"--stations", "DIR/frota.csv"};
        const Files ready{{"poll.ini", Passwords}, {"frota.csv", Fleet}};

        QTest::newRow("poll.ini a FIFO") << poll << fleet << Files{{"poll.ini", Fifo}, {"frota.csv", Fleet}} << 2
                                         << "comzelta-poll: arquivo de senhas DIR/poll.ini não é um arquivo comum\n";
        QTest::newRow("poll.ini a directory, not told to chmod")
            << poll << fleet << Files{{"poll.ini", Directory}, {"frota.csv", Fleet}} << 2
            << "comzelta-poll: arquivo de senhas DIR/poll.ini não é um arquivo comum\n";
        QTest::newRow("fleet file a FIFO") << poll << fleet << Files{{"poll.ini", Passwords}, {"frota.csv", Fifo}} << 2
                                           << "comzelta-poll: arquivo de frota DIR/frota.csv não é um arquivo comum\n";
        QTest::newRow("fleet file missing") << poll << fleet << Files{{"poll.ini", Passwords}} << 2
                                            << "comzelta-poll: arquivo de frota DIR/frota.csv não existe\n";
        QTest::newRow("alarmes.ini a FIFO") << poll << fleet << ready + Files{{"alarmes.ini", Fifo}} << 2
                                            << "comzelta-poll: DIR/alarmes.ini não é um arquivo comum\n";
        QTest::newRow("alarmes.ini, a level that is no number")
            << poll << fleet << ready + Files{{"alarmes.ini", "[produto GASOLINA]\nnível baixo = abc\n"}} << 2
            << "comzelta-poll: DIR/alarmes.ini, linha 2: \"abc\" não serve para \"nível baixo\": use um número de 0 a "
               "100\n";
        QTest::newRow("log in a folder that does not exist")
            << poll << fleet + QStringList{"--log", "DIR/nada/coleta.log"} << ready << 2
            << "comzelta-poll: arquivo de registro DIR/nada/coleta.log: a pasta DIR/nada não existe\n";
        QTest::newRow("station list: garbage bytes, with the line")
            << poll << once
            << Files{{"poll.ini", Passwords},
                     {"Configuração.TXT", stationLine("Posto A", "127.0.0.229")
                                              + stationLine("Posto \x1b[2J\x7f", "10.0.0.\x01")}}
            << 2 << "comzelta-poll: DIR/Configuração.TXT, linha 2: o posto \"Posto \\x1B[2J\\x7F\" tem o endereço IP "
                    "inválido \"10.0.0.\\x01\"\n";
        QTest::newRow("station list: a row without its description")
            << poll << once
            << Files{{"poll.ini", Passwords},
                     {"Configuração.TXT", stationLine("Posto A", "127.0.0.229") + stationLine("", "127.0.66.1")}}
            << 2 << "comzelta-poll: DIR/Configuração.TXT, linha 2: posto sem descrição (IP \"127.0.66.1\")\n";
        QByteArray fleetOf25;
        QString noPasswords;
        for (int i = 1; i <= 25; ++i) {
            fleetOf25 += "Posto " + QByteArray::number(i) + ";127.0.0.229\n";
            if (i <= 20)
                noPasswords += QStringLiteral("comzelta-poll: não há senha para o posto \"Posto %1\" (nem em [postos], "
                                              "nem \"senha\" em [geral])\n").arg(i);
        }
        QTest::newRow("25 stations without a password: 20 told")
            << poll << fleet << Files{{"poll.ini", "[chaves]\nnorte = Zelta\n"}, {"frota.csv", fleetOf25}} << 2
            << noPasswords + QStringLiteral("comzelta-poll: … e mais 5 erros\n");
        QTest::newRow("poll: unknown option last") << poll << QStringList{"--bogus"} << Files{} << 2
                                                   << "comzelta-poll: opção desconhecida: \"--bogus\"\n";

        QTest::newRow("cli: password file a FIFO")
            << cli << QStringList{"--data-dir", "DIR", "--password-file", "DIR/senha", Nobody, "clock"}
            << Files{{"senha", Fifo}} << 2 << "comzelta-cli: arquivo de senha DIR/senha não é um arquivo comum\n";
        QTest::newRow("cli: password file missing")
            << cli << QStringList{"--data-dir", "DIR", "--password-file", "DIR/senha", Nobody, "clock"} << Files{}
            << 2 << "comzelta-cli: arquivo de senha DIR/senha não existe\n";
        QTest::newRow("cli: 31 February") << cli << QStringList{"--data-dir", "DIR", Nobody, "scheduled", "310224"}
                                          << Files{} << 2 << "comzelta-cli: data inexistente: \"310224\" (DDMMAA)\n";
        QTest::newRow("cli: connection refused")
            << cli << QStringList{"--data-dir", "DIR", Nobody, "clock"} << Files{} << 3
            << "comzelta-cli: conexão com 127.0.0.229:4001: falhou (conexão recusada)\n";

        QTest::newRow("sim: unknown option") << sim << QStringList{"--bogus"} << Files{} << 2
                                             << "comzelta-sim: opção desconhecida: --bogus (comzelta-sim --help lista "
                                                "as opções)\n";
        QTest::newRow("sim: value missing") << sim << QStringList{"--quiet", "--delay"} << Files{} << 2
                                            << "comzelta-sim: a opção --delay precisa de um valor (comzelta-sim --help "
                                               "lista as opções)\n";
        QTest::newRow("sim: port beyond 65535") << sim << QStringList{"--port", "70000"} << Files{} << 2
                                                << "comzelta-sim: --port needs a whole number from 0 to 65535, not "
                                                   "\"70000\"\n";
        QTest::newRow("poll: not a whole number") << poll << QStringList{"--retries", "+2.5"} << Files{} << 2
                                                  << "comzelta-poll: valor inválido para --retries: \"+2.5\" (número "
                                                     "inteiro de 0 a 20)\n";
        QTest::newRow("sim: value to a flag") << sim << QStringList{"--quiet=1"} << Files{} << 2
                                              << "comzelta-sim: a opção --quiet não leva valor (comzelta-sim --help "
                                                 "lista as opções)\n";
    }
    void messages()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(Files, files);
        QFETCH(int, exitCode);
        QFETCH(QString, err);
        QTemporaryDir data;
        const QString directory = data.path();
        for (const auto &[name, content] : files)
            QVERIFY2(make(directory + QLatin1Char('/') + name, content), qPrintable(name));
        for (QString &argument : arguments)
            argument.replace(QLatin1String("DIR"), directory);

        const ProgramResult result = run(program, arguments, directory + QStringLiteral("/home"));
        QCOMPARE(result.exitCode, exitCode);
        const QString expected = err.replace(QLatin1String("DIR"), directory);
        QString shown = QString::fromUtf8(result.err);
        // The usage, when it follows the problem, is the programs' own business.
        if (const qsizetype usage = shown.indexOf(QStringLiteral("\n\n")); usage >= 0)
            shown.truncate(usage + 1);
        QCOMPARE(shown, expected);
    }
};

QTEST_GUILESS_MAIN(TestProgramMessages)
#include "tst_program_messages.moc"
