// alarmes.ini: every problem refuses the file and names its line; rules are found by product,
// overridden per tank and per station, whatever the case, blanks or accents.
#include "alarms/alarm_config_file.h"
#include "alarms/alarm_rules.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString limitsText(const std::optional<LevelLimits> &limits)
{
    return limits ? QStringLiteral("%1/%2").arg(limits->raiseAt).arg(limits->restoreAt) : QStringLiteral("-");
}

template <typename T>
QString valueText(const std::optional<T> &value)
{
    return value ? QVariant(*value).toString() : QStringLiteral("-");
}

} // namespace

class TestAlarmConfig : public QObject {
    Q_OBJECT

private slots:
    void problems_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("unknown key") << "[produto GASOLINA]\nnivel baxo = 10\n"
                                     << QStringList{"linha 2: chave desconhecida \"nivel baxo\" em [produto GASOLINA]"};
        QTest::newRow("percentage above 100")
            << "[produto GASOLINA]\nnível baixo = 120\nnível baixo retorno = 15\n"
            << QStringList{"linha 2: \"120\" não serve para \"nível baixo\": use um número de 0 a 100"};
        QTest::newRow("a level that is no number, alone")
            << "[produto GASOLINA]\nnível baixo = abc\n"
            << QStringList{"linha 2: \"abc\" não serve para \"nível baixo\": use um número de 0 a 100"};
        QTest::newRow("a return that is no number, alone")
            << "[produto GASOLINA]\nnível alto retorno = x\n"
            << QStringList{"linha 2: \"x\" não serve para \"nível alto retorno\": use um número de 0 a 100"};
        QTest::newRow("raise level without its return")
            << "[produto GASOLINA]\n\nnível alto = 90\n"
            << QStringList{"linha 3: \"nível alto\" pede também \"nível alto retorno\" em [produto GASOLINA]"};
        QTest::newRow("low return below its raise level")
            << "[tanque posto-a 2]\nnível baixo = 10\nnível baixo retorno = 5\n"
            << QStringList{"linha 3: \"nível baixo retorno\" (5) deve ser maior que \"nível baixo\" (10)"};
        QTest::newRow("high return above its raise level")
            << "[produto X]\nnível alto retorno = 95\nnível alto = 90\n"
            << QStringList{"linha 2: \"nível alto retorno\" (95) deve ser menor que \"nível alto\" (90)"};
        QTest::newRow("cumulative loss returning above its limit")
            << "[postos]\nperda acumulada = 0,6\nperda acumulada retorno = 0,6\n"
            << QStringList{"linha 3: \"perda acumulada retorno\" (0,6) deve ser menor que \"perda acumulada\" (0,6)"};
        QTest::newRow("cumulative loss without its return")
            << "[posto 10.0.0.1]\nperda acumulada = 1\n"
            << QStringList{"linha 2: \"perda acumulada\" pede também \"perda acumulada retorno\" em [posto 10.0.0.1]"};
        QTest::newRow("cumulative loss of a product")
            << "[produto DIESEL]\nperda acumulada = 1\n"
            << QStringList{"linha 2: chave desconhecida \"perda acumulada\" em [produto DIESEL]"};
        QTest::newRow("key outside a section") << "# regras\nentrega mínima = 500\n"
                                               << QStringList{"linha 2: \"entrega mínima\" fora de qualquer seção"};
        QTest::newRow("line without a value") << "[postos]\nsensores\n"
                                              << QStringList{"linha 2: esperava \"chave = valor\" ou \"[seção]\""};
        QTest::newRow("unknown section")
            << "\n[produtos GASOLINA]\n"
            << QStringList{"linha 2: seção [produtos GASOLINA] desconhecida: use [postos], [posto NOME], "
                           "[produto NOME] ou [tanque NOME NÚMERO]"};
        QTest::newRow("tank that is no number") << "[tanque posto-a um]\n"
                                                << QStringList{"linha 1: \"um\" não é um número de tanque (1 a 999) em "
                                                               "[tanque posto-a um]"};
        QTest::newRow("neither yes nor no") << "[postos]\nbarras = talvez\n"
                                            << QStringList{"linha 2: \"talvez\" não serve para \"barras\": use sim ou não"};
        QTest::newRow("rounds that are no whole number")
            << "[posto 10.0.0.1]\nfalhas de comunicação = 2,5\n"
            << QStringList{"linha 2: \"2,5\" não serve para \"falhas de comunicação\": use um número inteiro de 1 a 1000"};
        QTest::newRow("key repeated") << "[produto X]\nentrega mínima = 500\nEntrega  Minima = 600\n"
                                      << QStringList{"linha 3: \"Entrega Minima\" repetida em [produto X] (já na linha 2)"};
        QTest::newRow("section repeated, whatever its case")
            << "[produto Diesel]\n[PRODUTO DIESEL]\n" << QStringList{"linha 2: [PRODUTO DIESEL] repetida (já na linha 1)"};
        QTest::newRow("several problems, in line order")
            << "sensores = sim\n[produto X]\ncor = azul\nlixo\n"
            << QStringList{"linha 1: \"sensores\" fora de qualquer seção",
                           "linha 3: chave desconhecida \"cor\" em [produto X]",
                           "linha 4: esperava \"chave = valor\" ou \"[seção]\""};
        QTest::newRow("decimal comma, percent sign, no accents")
            << "[produto X]\nnivel baixo = 7,5%\nnivel baixo retorno = 12.5\n" << QStringList{};
        QTest::newRow("empty file") << "" << QStringList{};
    }

    void problems()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        const Result<AlarmConfig, QStringList> load = parseAlarmConfig(text);
        QCOMPARE(load ? QStringList() : load.error(), expected);
        QCOMPARE(load.ok(), expected.isEmpty());
    }

    void exampleFileIsValid()
    {
        QFile file(QStringLiteral(ALARMS_EXAMPLE_FILE));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const Result<AlarmConfig, QStringList> load = parseAlarmConfig(QString::fromUtf8(file.readAll()));
        QCOMPARE(load ? QStringList() : load.error(), QStringList{});
        const TankRules tank3 = load->tank({QStringLiteral("192.168.0.20"), {}}, 3, QStringLiteral("GASOLINA C"));
        QCOMPARE(limitsText(tank3.low), QStringLiteral("20/25"));
        QCOMPARE(limitsText(tank3.high), QStringLiteral("90/85"));
    }

    void tankRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("ofe");
        QTest::addColumn<int>("tank");
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("expected");  // low, high, delivery minimum
        const QString gasoline = QStringLiteral("[produto Gasolina C]\nnível baixo = 10\nnível baixo retorno = 15\n"
                                                "nível alto = 90\nnível alto retorno = 85\nentrega mínima = 500\n");
        QTest::newRow("product as the controller pads it") << gasoline << "10.0.0.1" << "" << 1 << "GASOLINA  C"
                                                           << "10/15 90/85 500";
        QTest::newRow("product accents ignored") << "[produto Álcool]\nentrega mínima = 300\n"
                                                 << "10.0.0.1" << "" << 1 << "ALCOOL" << "- - 300";
        QTest::newRow("another product") << gasoline << "10.0.0.1" << "" << 1 << "DIESEL" << "- - -";
        const QString byHost = gasoline + QStringLiteral("[tanque 10.0.0.1 2]\nnível baixo = 20\nnível baixo retorno = 30\n");
        QTest::newRow("tank override keeps the other keys") << byHost << "10.0.0.1" << "" << 2 << "GASOLINA C"
                                                            << "20/30 90/85 500";
        QTest::newRow("override of another tank") << byHost << "10.0.0.1" << "" << 3 << "GASOLINA C"
                                                  << "10/15 90/85 500";
        QTest::newRow("override of another station") << byHost << "10.0.0.9" << "" << 2 << "GASOLINA C"
                                                     << "10/15 90/85 500";
        const QString byOfe = QStringLiteral("[tanque 4512 1]\nentrega mínima = 2000\n");
        QTest::newRow("station named by OFE number, zeros or not") << byOfe << "10.0.0.9" << "004512" << 1 << "DIESEL"
                                                                   << "- - 2000";
        QTest::newRow("OFE number of another station") << byOfe << "10.0.0.9" << "004513" << 1 << "DIESEL" << "- - -";
    }

    void tankRules()
    {
        QFETCH(QString, text);
        QFETCH(QString, host);
        QFETCH(QString, ofe);
        QFETCH(int, tank);
        QFETCH(QString, product);
        QFETCH(QString, expected);
        const Result<AlarmConfig, QStringList> load = parseAlarmConfig(text);
        QVERIFY2(load, qPrintable(load ? QString() : load.error().join(QLatin1Char('\n'))));
        const TankRules rules = load->tank({host, ofe}, tank, product);
        QCOMPARE(QStringList({limitsText(rules.low), limitsText(rules.high), valueText(rules.deliveryMinimum)})
                     .join(QLatin1Char(' ')),
                 expected);
    }

    void stationRules_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("expected");  // sensors, bars, communication rounds, clock minutes, cumulative loss
        QTest::newRow("every station") << "10.0.0.1" << "true - 3 - 0.8/0.7";
        QTest::newRow("station override by host, any case") << "Posto-B.local" << "false - 3 10 1.5/1";
    }

    void stationRules()
    {
        QFETCH(QString, host);
        QFETCH(QString, expected);
        const Result<AlarmConfig, QStringList> load = parseAlarmConfig(
            QStringLiteral("[postos]\nsensores = Sim\nfalhas de comunicacao = 3\nperda acumulada = 0,8\n"
                           "perda acumulada retorno = 0,7%\n[posto posto-b.local]\nsensores = NÃO\n"
                           "diferença de relógio = 10\nPerda Acumulada = 1,5\nperda acumulada retorno = 1\n"));
        QVERIFY2(load, qPrintable(load ? QString() : load.error().join(QLatin1Char('\n'))));
        const StationRules rules = load->station({host, {}});
        QCOMPARE(QStringList({valueText(rules.sensors), valueText(rules.bars), valueText(rules.communicationRounds),
                              valueText(rules.clockMinutes), limitsText(rules.cumulativeLoss)})
                     .join(QLatin1Char(' ')),
                 expected);
    }

    void loadFromDataDirectory_data()
    {
        QTest::addColumn<QString>("text");  // null: no file
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QString>("problem");
        QTest::newRow("no file: no rules, no problem") << QString() << false << QString();
        QTest::newRow("valid file") << "[postos]\nbarras = não\n" << true << QString();
        QTest::newRow("broken file: its name and line")
            << "[postos]\n\nbarras = nunca\n" << false
            << "alarmes.ini, linha 3: \"nunca\" não serve para \"barras\": use sim ou não";
    }

    void loadFromDataDirectory()
    {
        QFETCH(QString, text);
        QFETCH(bool, loaded);
        QFETCH(QString, problem);
        QTemporaryDir directory;
        QVERIFY(directory.isValid());
        const QString dataDirectory = directory.path() + QLatin1Char('/');
        if (!text.isNull()) {
            QFile file(dataDirectory + alarmRulesFileName());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text.toUtf8());
        }
        const Result<std::shared_ptr<AlarmRules>, AlarmFileProblem> load = loadAlarmRules(dataDirectory);
        QCOMPARE(load.valueOr(nullptr) != nullptr, loaded);
        const QString said = load ? QString() : alarmFileProblemText(load.error());
        QVERIFY2(problem.isEmpty() ? said.isEmpty() : said.endsWith(problem), qPrintable(said));
    }
};

QTEST_GUILESS_MAIN(TestAlarmConfig)
#include "tst_alarm_config.moc"
