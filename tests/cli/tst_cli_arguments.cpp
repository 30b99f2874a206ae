#include "cli/cli_options.h"
#include "cli/password_source.h"
#include "cli/request_body.h"
#include "cli/station_address.h"
#include "stations/station_file_writer.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(CliCommand)
Q_DECLARE_METATYPE(OutputFormat)

namespace {

const QString PasswordFileName = QStringLiteral("senha");

// readPassword with `file` as --password-file in `directory` (null: none) and `environment` as
// the variable (null: unset).
PasswordSource readGiven(const QTemporaryDir &directory, const QByteArray &file, const QString &environment)
{
    QString path;
    if (!file.isNull()) {
        path = directory.filePath(PasswordFileName);
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size())
            qWarning() << "cannot write" << path;
    }
    return readPassword(path, environment.isNull() ? std::nullopt : std::optional<QString>(environment));
}

} // namespace

class TestCliArguments : public QObject {
    Q_OBJECT

private slots:
    void accepted_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<CliCommand>("command");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<OutputFormat>("format");
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<bool>("log");
        QTest::newRow("defaults") << QStringList{"Posto Centro", "clock"} << CliCommand::Clock << "" << OutputFormat::Text
                                  << 10000 << false;
        QTest::newRow("tank padded") << QStringList{"127.0.0.1", "measure", "3"} << CliCommand::Measure << "03"
                                     << OutputFormat::Text << 10000 << false;
        QTest::newRow("tank 16") << QStringList{"h", "memory", "16"} << CliCommand::Memory << "16" << OutputFormat::Text
                                 << 10000 << false;
        QTest::newRow("options after") << QStringList{"h", "inventory", "--format", "json", "--log"}
                                       << CliCommand::Inventory << "" << OutputFormat::Json << 10000 << true;
        QTest::newRow("option=value, fraction")
            << QStringList{"--timeout=0.25", "--format=csv", "h", "scheduled", "311224"} << CliCommand::Scheduled
            << "311224" << OutputFormat::Csv << 250 << false;
        QTest::newRow("29 February of a leap year") << QStringList{"h", "scheduled", "290224"} << CliCommand::Scheduled
                                                   << "290224" << OutputFormat::Text << 10000 << false;
        QTest::newRow("after --") << QStringList{"--", "-odd-", "set-clock"} << CliCommand::SetClock << ""
                                  << OutputFormat::Text << 10000 << false;
    }
    void accepted()
    {
        QFETCH(QStringList, arguments);
        QFETCH(CliCommand, command);
        QFETCH(QString, argument);
        QFETCH(OutputFormat, format);
        QFETCH(int, timeoutMs);
        QFETCH(bool, log);
        const Result<CliOptions, CliUsageProblem> parsed = parseArguments(arguments);
        QVERIFY2(parsed, parsed ? "" : qPrintable(usageProblemText(parsed.error())));
        QCOMPARE(parsed->command, command);
        QCOMPARE(parsed->argument, argument);
        QCOMPARE(parsed->format, format);
        QCOMPARE(parsed->timeoutMs, timeoutMs);
        QCOMPARE(parsed->log, log);
    }

    // Every option the usage documents, in both of its forms.
    void documentedOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("options");  // "help passwordFile dataDirectory database format timeoutMs log"
        const QStringList station{"h", "clock"};
        QTest::newRow("none") << station << "0 - - - 0 10000 0";
        QTest::newRow("-h") << QStringList{"-h"} << "1 - - - 0 10000 0";
        QTest::newRow("--help, whatever follows") << QStringList{"--help", "--bogus"} << "1 - - - 0 10000 0";
        QTest::newRow("--password-file F") << QStringList{"--password-file", "/s/senha"} + station
                                           << "0 /s/senha - - 0 10000 0";
        QTest::newRow("--password-file=F") << QStringList{"--password-file=/s/senha"} + station
                                           << "0 /s/senha - - 0 10000 0";
        QTest::newRow("--data-dir D") << QStringList{"--data-dir", "/d"} + station << "0 - /d - 0 10000 0";
        QTest::newRow("--data-dir=D") << QStringList{"--data-dir=/d"} + station << "0 - /d - 0 10000 0";
        QTest::newRow("--database U") << QStringList{"--database", "postgresql://u@s/b"} + station
                                      << "0 - - postgresql://u@s/b 0 10000 0";
        QTest::newRow("--database=U") << QStringList{"--database=postgresql://u@s/b"} + station
                                      << "0 - - postgresql://u@s/b 0 10000 0";
        QTest::newRow("--format F") << QStringList{"--format", "json"} + station << "0 - - - 2 10000 0";
        QTest::newRow("--format=F") << QStringList{"--format=csv"} + station << "0 - - - 1 10000 0";
        QTest::newRow("--timeout S") << QStringList{"--timeout", "2.5"} + station << "0 - - - 0 2500 0";
        QTest::newRow("--timeout=S") << QStringList{"--timeout=30"} + station << "0 - - - 0 30000 0";
        QTest::newRow("--log") << QStringList{"--log"} + station << "0 - - - 0 10000 1";
        QTest::newRow("a file named -") << QStringList{"--password-file", "-"} + station << "0 - - - 0 10000 0";
    }
    void documentedOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, options);
        const Result<CliOptions, CliUsageProblem> parsed = parseArguments(arguments);
        QVERIFY2(parsed, parsed ? "" : qPrintable(usageProblemText(parsed.error())));
        const auto shown = [](const QString &text) { return text.isEmpty() ? QStringLiteral("-") : text; };
        QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                     .arg(int(parsed->help))
                     .arg(shown(parsed->passwordFile), shown(parsed->dataDirectory),
                          shown(parsed->database ? parsed->database->displayName() : QString()))
                     .arg(int(parsed->format))
                     .arg(parsed->timeoutMs)
                     .arg(int(parsed->log)),
                 options);
    }

    // The exact words, as scripts and the usage error show them.
    void problemTexts_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("problem");
        QTest::newRow("unknown option") << QStringList{"--bogus", "h", "clock"} << "opção desconhecida: \"--bogus\"";
        QTest::newRow("short option") << QStringList{"-f", "h", "clock"} << "opção desconhecida: \"-f\"";
        QTest::newRow("value missing") << QStringList{"h", "clock", "--timeout"}
                                       << "a opção --timeout precisa de um valor";
        QTest::newRow("log with value") << QStringList{"--log=yes", "h", "clock"} << "a opção --log não leva valor";
        QTest::newRow("no station") << QStringList{} << "falta o posto";
        QTest::newRow("no command") << QStringList{"h"} << "falta o comando";
        QTest::newRow("unknown command") << QStringList{"h", "nada"} << "comando desconhecido: \"nada\"";
        QTest::newRow("argument too many") << QStringList{"h", "clock", "now"} << "argumento a mais: \"now\"";
        QTest::newRow("no tank") << QStringList{"h", "memory"} << "o comando memory precisa do número do tanque";
        QTest::newRow("no date") << QStringList{"h", "scheduled"} << "o comando scheduled precisa da data (DDMMAA)";
        QTest::newRow("tank") << QStringList{"h", "measure", "+3"} << "tanque inválido: \"+3\" (de 1 a 16)";
        QTest::newRow("date") << QStringList{"h", "scheduled", "3112"} << "data inválida: \"3112\" (DDMMAA, 6 algarismos)";
        QTest::newRow("format") << QStringList{"--format", "xml", "h", "clock"}
                                << "formato desconhecido: \"xml\" (text, csv ou json)";
        QTest::newRow("timeout") << QStringList{"--timeout=-1", "h", "clock"}
                                 << "tempo limite inválido: \"-1\" (segundos, maior que zero)";
    }
    void problemTexts()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, problem);
        const Result<CliOptions, CliUsageProblem> parsed = parseArguments(arguments);
        QVERIFY(!parsed);
        QCOMPARE(usageProblemText(parsed.error()), problem);
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("no command") << QStringList{"h"};
        QTest::newRow("unknown command") << QStringList{"h", "measure-all"};
        QTest::newRow("tank missing") << QStringList{"h", "measure"};
        QTest::newRow("tank 0") << QStringList{"h", "measure", "0"};
        QTest::newRow("tank 17") << QStringList{"h", "memory", "17"};
        QTest::newRow("tank not a number") << QStringList{"h", "measure", "1a"};
        QTest::newRow("tank three digits") << QStringList{"h", "measure", "001"};
        QTest::newRow("date short") << QStringList{"h", "scheduled", "31124"};
        QTest::newRow("date with slashes") << QStringList{"h", "scheduled", "31/12/24"};
        QTest::newRow("31 February") << QStringList{"h", "scheduled", "310224"};
        QTest::newRow("29 February of a common year") << QStringList{"h", "scheduled", "290223"};
        QTest::newRow("argument too many") << QStringList{"h", "clock", "now"};
        QTest::newRow("unknown format") << QStringList{"--format", "xml", "h", "clock"};
        QTest::newRow("timeout zero") << QStringList{"--timeout", "0", "h", "clock"};
        QTest::newRow("timeout comma") << QStringList{"--timeout", "0,5", "h", "clock"};
        QTest::newRow("timeout nan") << QStringList{"--timeout", "nan", "h", "clock"};
        QTest::newRow("value missing") << QStringList{"h", "clock", "--data-dir"};
        QTest::newRow("password option") << QStringList{"--password", "x", "h", "clock"};
        QTest::newRow("log with value") << QStringList{"--log=yes", "h", "clock"};
        QTest::newRow("short option") << QStringList{"-f", "h", "clock"};
    }
    void refused()
    {
        QFETCH(QStringList, arguments);
        const Result<CliOptions, CliUsageProblem> parsed = parseArguments(arguments);
        QVERIFY(!parsed);
        QVERIFY(!usageProblemText(parsed.error()).isEmpty());
    }

    void database_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("database");  // as shown; empty: none, the data directory's file
        QTest::addColumn<QString>("error");     // part of the refusal; empty: accepted
        QTest::newRow("none") << QStringList{"h", "clock"} << "" << "";
        QTest::newRow("server and port")
            << QStringList{"--database", "postgresql://comzelta@db.example:5433/historico", "h", "inventory"}
            << "postgresql://comzelta@db.example:5433/historico" << "";
        QTest::newRow("a file") << QStringList{"--database", "/srv/Historico.sqlite", "h", "clock"} << ""
                                << "não começa com postgresql://";
        QTest::newRow("value missing") << QStringList{"h", "clock", "--database"} << "" << "precisa de um valor";
    }
    void database()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, database);
        QFETCH(QString, error);
        const Result<CliOptions, CliUsageProblem> parsed = parseArguments(arguments);
        QCOMPARE(parsed.ok(), error.isEmpty());
        if (parsed) {
            QCOMPARE(parsed->database.has_value(), !database.isEmpty());
            if (parsed->database)
                QCOMPARE(parsed->database->displayName(), database);
        } else {
            QVERIFY2(usageProblemText(parsed.error()).contains(error), qPrintable(usageProblemText(parsed.error())));
        }
    }

    void requestBodies_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("identify") << QStringList{"h", "identify"} << QByteArray();
        QTest::newRow("clock") << QStringList{"h", "clock"} << QByteArray("LR");
        // Tuesday 31/12/2024: the controller counts days from Sunday = 1.
        QTest::newRow("set-clock") << QStringList{"h", "set-clock"} << QByteArray("ARsenha3153005311224");
        QTest::newRow("measure") << QStringList{"h", "measure", "7"} << QByteArray("MT07");
        QTest::newRow("memory") << QStringList{"h", "memory", "12"} << QByteArray("LM12");
        QTest::newRow("inventory") << QStringList{"h", "inventory"} << QByteArray("MA");
        QTest::newRow("sensors") << QStringList{"h", "sensors"} << QByteArray("LS");
        QTest::newRow("scheduled") << QStringList{"h", "scheduled", "010324"} << QByteArray("MP010324");
    }
    void requestBodies()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, body);
        const Result<CliOptions, CliUsageProblem> parsed = parseArguments(arguments);
        QVERIFY(parsed);
        const QDateTime now(QDate(2024, 12, 31), QTime(15, 30, 5));
        QCOMPARE(requestBody(*parsed, "senha", now), body);
    }

    void hostAndPort_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host");  // empty: refused
        QTest::addColumn<int>("port");
        QTest::newRow("IPv4") << "192.168.0.10" << "192.168.0.10" << 4001;
        QTest::newRow("IPv4 and port") << "127.0.0.1:4100" << "127.0.0.1" << 4100;
        QTest::newRow("localhost") << "localhost" << "localhost" << 4001;
        QTest::newRow("dotted name and port") << "posto-1.example:5000" << "posto-1.example" << 5000;
        QTest::newRow("IPv6") << "::1" << "::1" << 4001;
        QTest::newRow("IPv6 in brackets, port") << "[::1]:4002" << "::1" << 4002;
        QTest::newRow("blank inside") << "Posto Centro" << "" << 0;
        QTest::newRow("accented") << "posto-são-joão" << "" << 0;
        QTest::newRow("empty label") << "posto..invalido" << "" << 0;
        QTest::newRow("leading hyphen") << "-posto" << "" << 0;
        QTest::newRow("underscore") << "posto_1" << "" << 0;
        QTest::newRow("port 0") << "localhost:0" << "" << 0;
        QTest::newRow("port too big") << "localhost:65536" << "" << 0;
        QTest::newRow("port not a number") << "localhost:http" << "" << 0;
        QTest::newRow("empty") << "" << "" << 0;
        QTest::newRow("bracket not IPv6") << "[localhost]:4001" << "" << 0;
    }
    void hostAndPort()
    {
        QFETCH(QString, text);
        QFETCH(QString, host);
        QFETCH(int, port);
        const std::optional<StationAddress> address = parseHostAndPort(text);
        QCOMPARE(address.has_value(), !host.isEmpty());
        if (address) {
            QCOMPARE(address->host, host);
            QCOMPARE(int(address->port), port);
        }
    }

    void stationList_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("host");  // empty: refused
        QTest::addColumn<bool>("listed");
        QTest::newRow("listed") << "Posto Centro" << "10.0.0.7" << true;
        QTest::newRow("listed, accented") << "Posto Rodovia São João" << "10.0.0.8" << true;
        QTest::newRow("listed, its port not used") << "Posto Porto" << "10.0.0.9" << true;
        QTest::newRow("listed looks like a host") << "localhost" << "10.0.0.10" << true;
        QTest::newRow("case differs") << "posto centro" << "" << false;
        QTest::newRow("listed without IP") << "Posto Vazio" << "" << false;
        QTest::newRow("not listed, an address") << "127.0.0.9" << "127.0.0.9" << false;
    }
    void stationList()
    {
        QFETCH(QString, name);
        QFETCH(QString, host);
        QFETCH(bool, listed);
        QTemporaryDir directory;
        QVERIFY(directory.isValid());
        StationTable rows;
        rows.entry(1) = {QStringLiteral("Posto Centro"), QStringLiteral("10.0.0.7"), QStringLiteral("4001")};
        rows.entry(3) = {QStringLiteral("Posto Rodovia São João"), QStringLiteral("10.0.0.8"), QStringLiteral("4001")};
        rows.entry(4) = {QStringLiteral("Posto Porto"), QStringLiteral("10.0.0.9"), QStringLiteral("5000")};
        rows.entry(5) = {QStringLiteral("localhost"), QStringLiteral("10.0.0.10"), QStringLiteral("4001")};
        rows.entry(6) = {QStringLiteral("Posto Vazio"), QString(), QString()};
        const Result<void, StationFileProblem> saved = saveStationFile(directory.path() + QLatin1Char('/'), rows);
        QVERIFY2(saved, qPrintable(saved ? QString() : stationFileProblemText(saved.error())));

        const StationResolution resolution = resolveStation(name, directory.path());
        QCOMPARE(resolution.address.has_value(), !host.isEmpty());
        QCOMPARE(resolution.error.isEmpty(), !host.isEmpty());
        if (resolution.address) {
            QCOMPARE(resolution.address->host, host);
            QCOMPARE(int(resolution.address->port), 4001);
        }
        QCOMPARE(resolution.description, listed ? name : QString());
        // The history leaves their OFE numbers to these, whichever station the command names.
        QCOMPARE(resolution.listedHosts, (QStringList{"10.0.0.7", "10.0.0.8", "10.0.0.9", "10.0.0.10"}));
    }

    void noStationList()
    {
        QTemporaryDir directory;
        QVERIFY(resolveStation(QStringLiteral("localhost:4100"), directory.path()).address);
        QVERIFY(!resolveStation(QStringLiteral("Posto Centro"), directory.path()).address);
    }

    void password_data()
    {
        QTest::addColumn<QByteArray>("file");  // null: no --password-file
        QTest::addColumn<QString>("environment");  // null: not set
        QTest::addColumn<QByteArray>("password");  // null: refused
        QTest::newRow("first line") << QByteArray("Senha1\nsecond\n") << QString() << QByteArray("Senha1");
        QTest::newRow("CRLF") << QByteArray("Senha1\r\n") << QString() << QByteArray("Senha1");
        QTest::newRow("no newline") << QByteArray("abc") << QString() << QByteArray("abc");
        QTest::newRow("UTF-8 to Windows-1252") << QByteArray("a\xC3\xA7\n") << QString() << QByteArray("a\xE7");
        QTest::newRow("Windows-1252 letters in the environment")
            << QByteArray() << QStringLiteral("Ção€œŸ") << QByteArray("\xC7\xE3o\x80\x9C\x9F");
        QTest::newRow("file wins") << QByteArray("deArquivo\n") << QStringLiteral("doAmbiente")
                                   << QByteArray("deArquivo");
        QTest::newRow("environment") << QByteArray() << QStringLiteral("doAmbiente") << QByteArray("doAmbiente");
        QTest::newRow("environment empty") << QByteArray() << QStringLiteral("") << QByteArray("");
        QTest::newRow("neither") << QByteArray() << QString() << QByteArray();
        QTest::newRow("first line too long") << QByteArray(5000, 'x') << QString() << QByteArray();
    }
    void password()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, environment);
        QFETCH(QByteArray, password);
        QTemporaryDir directory;
        const PasswordSource source = readGiven(directory, file, environment);
        QCOMPARE(source.password.has_value(), !password.isNull());
        QCOMPARE(source.error.isEmpty(), !password.isNull());
        if (source.password)
            QCOMPARE(*source.password, password);
    }

    // Refused, never sent: a control byte would end or split the frame, and '?' would stand for a
    // character Windows-1252 lacks.
    void unusablePassword_data()
    {
        QTest::addColumn<QByteArray>("file");      // null: no --password-file
        QTest::addColumn<QString>("environment");  // null: not set
        QTest::addColumn<QString>("error");
        const QString file = QStringLiteral("arquivo de senha %1: a senha contém ");
        const QString environment = QStringLiteral("variável de ambiente COMZELTA_PASSWORD: a senha contém ");
        QTest::newRow("ETX in the file") << QByteArray("pw\x03XX\n") << QString() << file + "um caractere de controle";
        QTest::newRow("STX and a frame in the file")
            << QByteArray("pw\x02ID02\x03\n") << QString() << file + "um caractere de controle";
        QTest::newRow("tab in the file") << QByteArray("pw\tx\n") << QString() << file + "um caractere de controle";
        QTest::newRow("ETX in the environment") << QByteArray() << QStringLiteral("pw\x03XX")
                                                << environment + "um caractere de controle";
        QTest::newRow("DEL in the environment") << QByteArray() << QStringLiteral("pw\x7F")
                                                << environment + "um caractere de controle";
        QTest::newRow("C1 control in the environment") << QByteArray() << QStringLiteral("pw\u0090")
                                                       << environment + "um caractere de controle";
        QTest::newRow("outside Windows-1252 in the file")
            << QByteArray("senha\xE2\x82\xBD\n") << QString() << file + "um caractere fora do Windows-1252";
        QTest::newRow("not UTF-8 in the file") << QByteArray("senha\xFF\n") << QString()
                                               << file + "um caractere fora do Windows-1252";
        QTest::newRow("emoji in the environment") << QByteArray() << QString::fromUtf8("senha\U0001F600")
                                                  << environment + "um caractere fora do Windows-1252";
    }
    void unusablePassword()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, environment);
        QFETCH(QString, error);
        QTemporaryDir directory;
        const PasswordSource source = readGiven(directory, file, environment);
        QVERIFY(!source.password);
        QCOMPARE(source.error, file.isNull() ? error : error.arg(directory.filePath(PasswordFileName)));
    }

    void passwordFileMissing()
    {
        const PasswordSource source = readPassword(QStringLiteral("/nonexistent/senha"), QStringLiteral("x"));
        QVERIFY(!source.password);
        QVERIFY(source.error.contains(QStringLiteral("/nonexistent/senha")));
    }
};

QTEST_GUILESS_MAIN(TestCliArguments)
#include "tst_cli_arguments.moc"
