#include "cli_run.h"
#include "csv_reader.h"

#include "config/station_file_writer.h"
#include "simulator/controller_simulator.h"
#include "simulator/station_file.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

// Each controller of these tests has a loopback address of its own.
namespace address {
const QString Station = QStringLiteral("127.0.0.130");       // answers everything
const QString Failing = QStringLiteral("127.0.0.131");       // a disabled tank, an off-line probe, a password
const QString NotA01 = QStringLiteral("127.0.0.132");
const QString Nak = QStringLiteral("127.0.0.133");           // acknowledges nothing, answers nothing
const QString Silent = QStringLiteral("127.0.0.134");        // accepts and never says a word
const QString NobodyListens = QStringLiteral("127.0.0.135");
const QString Closing = QStringLiteral("127.0.0.136");       // hangs up on the first frame
const QString BadCheck = QStringLiteral("127.0.0.137");      // every reply with a wrong check byte
} // namespace address

namespace {

const char *const StationText = R"(
[station]
ofe = 4127
meter type = 2

[tank 1]
product = GASOLINA
capacity = 30000
measured = 18250
volume at 20 = 18130
density = 0.74
level = 1420
expansion = 0.0012
last measurement = 01/03/2024 06:00:00

[tank 2]
product = GASOLINA
capacity = 15000
measured = 4100
density = 0.74
expansion = 0.0012

[tank 3]
product = ARLA
capacity = 5000
measured = 2000
by weight = yes
density = 1.09
level = 800

[sensors]
count = 6
bar 1 = active
sensor 2 = short
sensor 4 = leak
sensor 6 = open

[schedule 31/12/2024]
measurement = 06:00:00 1 18900
measurement = 18:30:00 3 2100
)";

const char *const FailingText = R"(
[station]
password = Zelta

[tank 1]
product = DIESEL
capacity = 10000
measured = 5000

[tank 2]
product = DIESEL
enabled = no

[tank 3]
product = GASOLINA
capacity = 10000
measured = 3000
probe = offline
last measurement = 01/03/2024 06:00:00
)";

QJsonObject jsonObject(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        qWarning() << "not a JSON object:" << error.errorString() << bytes;
    return document.object();
}

QStringList sortedKeys(const QJsonObject &object)
{
    QStringList keys = object.keys();
    keys.sort();
    return keys;
}

// Within a minute of the PC clock: the simulated controller's clock starts from it.
bool isNow(const QJsonValue &iso)
{
    const QDateTime time = QDateTime::fromString(iso.toString(), Qt::ISODate);
    return time.isValid() && std::abs(time.secsTo(QDateTime::currentDateTime())) < 60;
}

} // namespace

class TestCliEndToEnd : public QObject {
    Q_OBJECT

private:
    CliRun run(const QStringList &arguments, const QString &password = QStringLiteral("SENHA"))
    {
        return runCli(arguments, password, home_.path());
    }

    // Nothing when the station text has problems or the address is taken.
    static std::unique_ptr<ControllerSimulator> simulator(const char *stationText, const QString &address)
    {
        const StationLoad load = parseStation(QString::fromUtf8(stationText));
        if (!load.problems.isEmpty()) {
            qWarning() << load.problems;
            return nullptr;
        }
        auto simulator = std::make_unique<ControllerSimulator>(load.station);
        if (!simulator->listen(QHostAddress(address))) {
            qWarning() << address << simulator->errorString();
            return nullptr;
        }
        return simulator;
    }

    QTemporaryDir home_;
    QTemporaryDir dataDirectory_;
    std::unique_ptr<ControllerSimulator> station_;
    std::unique_ptr<ControllerSimulator> failing_;
    std::unique_ptr<ControllerSimulator> notA01_;
    std::unique_ptr<ControllerSimulator> nak_;
    std::unique_ptr<ControllerSimulator> closing_;
    std::unique_ptr<ControllerSimulator> badCheck_;
    QTcpServer silent_;

private slots:
    void initTestCase()
    {
        QVERIFY(QFileInfo(QStringLiteral(COMZELTA_CLI)).isExecutable());
        // The console's default data directory exists, so every run keeps its readings there.
        QVERIFY(QDir(home_.path()).mkpath(QStringLiteral("ComZelta")));
        station_ = simulator(StationText, address::Station);
        failing_ = simulator(FailingText, address::Failing);
        notA01_ = simulator("[station]\naddress = B07\n", address::NotA01);
        nak_ = simulator("", address::Nak);
        closing_ = simulator("", address::Closing);
        badCheck_ = simulator(StationText, address::BadCheck);
        QVERIFY(station_ && failing_ && notA01_ && nak_ && closing_ && badCheck_);
        nak_->setNakRequests(true);
        closing_->setCloseAfterFrames(1);
        badCheck_->setWrongCheckByte(true);
        QVERIFY(silent_.listen(QHostAddress(address::Silent), 4001));

        TabelaLocais rows;
        rows.entry(2) = {QStringLiteral("Posto Centro"), address::Station, QStringLiteral("4001")};
        QString error;
        QVERIFY2(saveStationFile(dataDirectory_.path() + QLatin1Char('/'), rows, &error), qPrintable(error));
    }

    void everyCommandEveryFormat_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QStringList>("jsonKeys");
        QTest::addColumn<QStringList>("csvHeader");
        QTest::addColumn<int>("csvRows");
        QTest::addColumn<QString>("textHeader");
        const QStringList measurementKeys{"capacity", "complementary", "density", "expansion", "level_mm", "measured",
                                          "product", "tank", "time", "unit", "volume20"};
        const QStringList measurementHeader{"tank",    "product",  "measured",  "complementary", "volume20",
                                            "density", "level_mm", "expansion", "capacity",      "unit",
                                            "time",    "error_code", "error_text"};
        QTest::newRow("identify") << QStringList{"identify"}
                                  << QStringList{"address", "meter_type", "ofe", "sensors", "tanks", "version"}
                                  << QStringList{"address", "version", "tanks", "ofe", "meter_type", "sensors"} << 1
                                  << "Endereço";
        QTest::newRow("clock") << QStringList{"clock"} << QStringList{"day", "time"}
                               << QStringList{"time", "day", "weekday"} << 1 << "Data e hora";
        QTest::newRow("set-clock") << QStringList{"set-clock"} << QStringList{"day", "time"}
                                   << QStringList{"time", "day", "weekday"} << 1 << "Data e hora";
        QTest::newRow("measure") << QStringList{"measure", "1"} << measurementKeys << measurementHeader << 1
                                 << "Tanque";
        QTest::newRow("memory") << QStringList{"memory", "2"} << measurementKeys << measurementHeader << 1
                                << "Tanque";
        QTest::newRow("inventory") << QStringList{"inventory"} << QStringList{"station", "tanks", "totals"}
                                   << measurementHeader << 3 << "Inventário - 127.0.0.130";
        QTest::newRow("sensors") << QStringList{"sensors"}
                                 << QStringList{"bar1_active", "bar2_active", "count", "sensors"}
                                 << QStringList{"number", "state", "label"} << 6 << "Sensores";
        QTest::newRow("scheduled") << QStringList{"scheduled", "311224"} << QStringList{"date", "measurements"}
                                   << QStringList{"number", "tank", "volume", "time"} << 2
                                   << "Medições na data 31/12/2024";
    }
    void everyCommandEveryFormat()
    {
        QFETCH(QStringList, command);
        QFETCH(QStringList, jsonKeys);
        QFETCH(QStringList, csvHeader);
        QFETCH(int, csvRows);
        QFETCH(QString, textHeader);

        const CliRun json = run(QStringList{"--format", "json", address::Station} + command);
        QCOMPARE(json.exitCode, 0);
        QCOMPARE(sortedKeys(jsonObject(json.out)), jsonKeys);

        const CliRun csv = run(QStringList{"--format=csv", address::Station} + command);
        QCOMPARE(csv.exitCode, 0);
        const std::optional<QList<QStringList>> records = readCsv(csv.out);
        QVERIFY2(records, csv.out.constData());
        QCOMPARE(records->size(), 1 + csvRows);
        QCOMPARE(records->first(), csvHeader);

        const CliRun text = run(QStringList{address::Station} + command);
        QCOMPARE(text.exitCode, 0);
        QVERIFY2(QString::fromUtf8(text.out).startsWith(textHeader), text.out.constData());
        QVERIFY2(text.err.isEmpty(), text.err.constData());
    }

    void measurement_data()
    {
        QTest::addColumn<QString>("station");
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QJsonObject>("expected");  // without the time
        QTest::addColumn<QString>("time");           // empty: the controller's clock, now
        // The probe is off-line: the tank is never measured, and its memory keeps its time.
        QTest::newRow("memory of an off-line probe")
            << address::Failing << QStringList{"memory", "03"}
            << QJsonObject{{"tank", 3},           {"product", "GASOLINA"}, {"measured", 3000},
                           {"complementary", 7000}, {"volume20", 3000},    {"density", 0},
                           {"level_mm", QJsonValue()}, {"expansion", 0},  {"capacity", 10000},
                           {"unit", "L"}}
            << "2024-03-01T06:00:00";
        QTest::newRow("no level") << address::Station << QStringList{"measure", "2"}
                                  << QJsonObject{{"tank", 2},          {"product", "GASOLINA"}, {"measured", 4100},
                                                 {"complementary", 10900}, {"volume20", 4100},  {"density", 0.74},
                                                 {"level_mm", QJsonValue()}, {"expansion", 0.0012}, {"capacity", 15000},
                                                 {"unit", "L"}}
                                  << QString();
        QTest::newRow("by weight") << address::Station << QStringList{"measure", "3"}
                                   << QJsonObject{{"tank", 3},         {"product", "ARLA"}, {"measured", 2000},
                                                  {"complementary", 3000}, {"volume20", 2000}, {"density", 1.09},
                                                  {"level_mm", 800},   {"expansion", 0},    {"capacity", 5000},
                                                  {"unit", "kg"}}
                                   << QString();
    }
    void measurement()
    {
        QFETCH(QString, station);
        QFETCH(QStringList, command);
        QFETCH(QJsonObject, expected);
        QFETCH(QString, time);
        const CliRun result = run(QStringList{"--format", "json", station} + command, QStringLiteral("zelta"));
        QCOMPARE(result.exitCode, 0);
        QJsonObject object = jsonObject(result.out);
        const QJsonValue measuredAt = object.take(QStringLiteral("time"));
        QCOMPARE(object, expected);
        if (time.isEmpty())
            QVERIFY2(isNow(measuredAt), qPrintable(measuredAt.toString()));
        else
            QCOMPARE(measuredAt.toString(), time);
    }

    void inventory()
    {
        const CliRun result = run({"--format", "json", address::Station, "inventory"});
        QCOMPARE(result.exitCode, 0);
        const QJsonObject object = jsonObject(result.out);
        const QJsonArray tanks = object["tanks"].toArray();
        QCOMPARE(tanks.size(), 3);
        QCOMPARE(tanks[0].toObject()["complementary"].toDouble(), 11750.0);
        // The last reply of the series carries the end-of-reading CR in its complementary field.
        QCOMPARE(tanks[2].toObject()["complementary"], QJsonValue(QJsonValue::Null));
        const QJsonArray totals{
            QJsonObject{{"product", "GASOLINA"}, {"unit", "L"}, {"measured", 22350}, {"complementary", 22650}},
            QJsonObject{{"product", "ARLA"}, {"unit", "kg"}, {"measured", 2000}, {"complementary", QJsonValue()}},
        };
        QCOMPARE(object["totals"].toArray(), totals);
        QCOMPARE(object["station"].toString(), address::Station);
    }

    void scheduled_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QJsonObject>("expected");
        QTest::newRow("two records")
            << "311224"
            << QJsonObject{{"date", "2024-12-31"},
                           {"measurements",
                            QJsonArray{QJsonObject{{"number", 1}, {"tank", 1}, {"volume", 18900}, {"time", "2024-12-31T06:00:00"}},
                                       QJsonObject{{"number", 2}, {"tank", 3}, {"volume", 2100}, {"time", "2024-12-31T18:30:00"}}}}};
        QTest::newRow("none: SL") << "010124" << QJsonObject{{"date", "2024-01-01"}, {"measurements", QJsonArray()}};
        QTest::newRow("impossible date: SL") << "310224" << QJsonObject{{"date", QJsonValue()}, {"measurements", QJsonArray()}};
    }
    void scheduled()
    {
        QFETCH(QString, date);
        QFETCH(QJsonObject, expected);
        const CliRun result = run({"--format", "json", address::Station, "scheduled", date});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(jsonObject(result.out), expected);
    }

    void clock_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("clock") << "clock";
        QTest::newRow("set-clock") << "set-clock";
    }
    void clock()
    {
        QFETCH(QString, command);
        QSignalSpy requests(station_.get(), &ControllerSimulator::requestReceived);
        const CliRun result = run({"--format", "json", address::Station, command});
        QCOMPARE(result.exitCode, 0);
        const QJsonObject object = jsonObject(result.out);
        QVERIFY2(isNow(object["time"]), result.out.constData());
        const QDateTime time = QDateTime::fromString(object["time"].toString(), Qt::ISODate);
        QCOMPARE(object["day"].toInt(), time.date().dayOfWeek() % 7 + 1);

        QList<QByteArray> bodies;
        for (const QList<QVariant> &request : requests) {
            const QByteArray frame = request.at(1).toByteArray();
            bodies << frame.mid(1, frame.size() - 3);
        }
        QCOMPARE(bodies.size(), 4);
        QCOMPARE(bodies.at(0), QByteArray("ID01"));
        QCOMPARE(bodies.at(1), QByteArray("CFSENHA"));
        QCOMPARE(bodies.at(3), QByteArray("ID02"));
        if (command == QLatin1String("clock")) {
            QCOMPARE(bodies.at(2), QByteArray("LR"));
        } else {
            // "AR", the password, then the PC's day of the week, time and date.
            const QByteArray setting = bodies.at(2);
            QVERIFY2(setting.startsWith("ARSENHA") && setting.size() == 20, setting.constData());
            const QDateTime sent(QDate::fromString(QString::fromLatin1(setting.mid(14)), QStringLiteral("ddMMyy")).addYears(100),
                                 QTime::fromString(QString::fromLatin1(setting.mid(8, 6)), QStringLiteral("HHmmss")));
            QVERIFY2(std::abs(sent.secsTo(QDateTime::currentDateTime())) < 60, setting.constData());
            QCOMPARE(setting.at(7) - '0', sent.date().dayOfWeek() % 7 + 1);
        }
    }

    void exitCodes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("password");  // null: none given
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");  // on standard error
        const QString password = QStringLiteral("SENHA");
        QTest::newRow("1: disabled tank") << QStringList{Failing(), "measure", "2"} << "zelta" << 1
                                          << "medição do tanque 02 (MT): Tanque não habilitado ! (NH)";
        QTest::newRow("1: probe off-line") << QStringList{Failing(), "measure", "3"} << "zelta" << 1
                                           << "Sonda OFF-LINE ou Inexistente ! (OL)";
        QTest::newRow("2: unknown station") << QStringList{"--data-dir", home_.path(), "Posto Centro", "clock"}
                                            << password << 2 << "posto desconhecido: \"Posto Centro\"";
        QTest::newRow("2: tank 17") << QStringList{address::Station, "measure", "17"} << password << 2
                                    << "tanque inválido";
        QTest::newRow("2: date") << QStringList{address::Station, "scheduled", "3112"} << password << 2
                                 << "data inválida";
        QTest::newRow("2: format") << QStringList{"--format", "xml", address::Station, "clock"} << password << 2
                                   << "formato desconhecido";
        QTest::newRow("2: no password") << QStringList{address::Station, "clock"} << QString() << 2
                                        << "falta a senha";
        QTest::newRow("3: refused") << QStringList{address::NobodyListens, "clock"} << password << 3
                                    << "conexão com 127.0.0.135:4001";
        QTest::newRow("3: closed by the controller") << QStringList{address::Closing, "clock"} << password << 3
                                                     << "127.0.0.136:4001";
        QTest::newRow("4: NAK, no reply") << QStringList{"--timeout", "0.5", address::Nak, "clock"} << password << 4
                                          << "identificação (ID01): sem resposta em 0.5 s";
        QTest::newRow("4: silent") << QStringList{"--timeout", "0.3", address::Silent, "identify"} << password << 4
                                   << "identificação (ID01): sem resposta em 0.3 s";
        QTest::newRow("4: wrong password") << QStringList{"--timeout", "0.5", Failing(), "clock"} << "outra" << 4
                                           << "configuração (CF): sem resposta em 0.5 s";
        QTest::newRow("5: not A01") << QStringList{address::NotA01, "clock"} << password << 5
                                    << "o controlador tem o endereço \"B07\", não A01";
        QTest::newRow("6: inventory with errors") << QStringList{Failing(), "inventory"} << "zelta" << 6
                                                  << "inventário (MA): tanque 03: Sonda OFF-LINE ou Inexistente ! (OL)";
    }
    void exitCodes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, password);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const CliRun result = run(arguments, password);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(QString::fromUtf8(result.err).contains(message), result.err.constData());
    }

    void errorRepliesStillReport()
    {
        const CliRun measure = run({"--format", "json", Failing(), "measure", "2"}, QStringLiteral("zelta"));
        QCOMPARE(measure.exitCode, 1);
        QCOMPARE(jsonObject(measure.out),
                 (QJsonObject{{"tank", 2}, {"error", QJsonObject{{"code", "NH"}, {"text", "Tanque não habilitado !"}}}}));

        const CliRun inventory = run({"--format", "csv", Failing(), "inventory"}, QStringLiteral("zelta"));
        QCOMPARE(inventory.exitCode, 6);
        const std::optional<QList<QStringList>> records = readCsv(inventory.out);
        QVERIFY(records);
        QCOMPARE(records->size(), 4);
        QCOMPARE(records->at(1).mid(0, 3), (QStringList{"1", "DIESEL", "5000"}));
        QCOMPARE(records->at(2).first(), QStringLiteral("2"));
        QCOMPARE(records->at(2).mid(11), (QStringList{"NH", "Tanque não habilitado !"}));
        QCOMPARE(records->at(3).mid(11), (QStringList{"OL", "Sonda OFF-LINE ou Inexistente !"}));
    }

    void listedStation()
    {
        QSignalSpy connections(station_.get(), &ControllerSimulator::clientConnected);
        const CliRun listed = run({"--data-dir", dataDirectory_.path(), "--format", "json", "Posto Centro", "identify"});
        QCOMPARE(listed.exitCode, 0);
        QCOMPARE(jsonObject(listed.out),
                 (QJsonObject{{"address", "A01"}, {"version", "30"}, {"tanks", 3}, {"ofe", 4127},
                              {"meter_type", "Industrial"}, {"sensors", 6}}));
        QCOMPARE(connections.size(), 1);

        // Not in this list, and not an address: refused before any connection is tried.
        const CliRun unlisted = run({"--data-dir", dataDirectory_.path(), "Posto Sul", "identify"});
        QCOMPARE(unlisted.exitCode, 2);
        QCOMPARE(connections.size(), 1);
    }

    void passwordFile()
    {
        QTemporaryDir directory;
        QFile file(directory.filePath(QStringLiteral("senha")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("zelta\nnot this line\n");
        file.close();
        const CliRun result = run({"--password-file", file.fileName(), Failing(), "clock"}, QStringLiteral("outra"));
        QCOMPARE(result.exitCode, 0);
    }

    void wrongCheckByte()
    {
        // Interpreted all the same, as the console does, with a warning for each such reply.
        const CliRun result = run({"--format", "json", address::BadCheck, "measure", "1"});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(jsonObject(result.out)["measured"].toDouble(), 18250.0);
        QCOMPARE(QString::fromUtf8(result.err).count(QStringLiteral("byte de verificação incorreto")), 3);
    }

    // The log shows every frame, those with the password too, but never the password itself nor
    // the length of a frame that carries it.
    void frameLog_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("lines");  // each part of some line of the log
        const QString maskedCf = QStringLiteral("Transmitiu: *** <STX>CF***<ETX>*");
        QTest::newRow("clock") << QStringList{address::Station, "clock"} << "Segredo" << 0
                               << QStringList{"Transmitiu: 007 <STX>ID01<ETX>", "Recebeu: ACK", maskedCf,
                                              "Transmitiu: 005 <STX>LR<ETX>", "Transmitiu: 007 <STX>ID02<ETX>"};
        QTest::newRow("set-clock: CF and AR") << QStringList{address::Station, "set-clock"} << "Segredo" << 0
                                              << QStringList{maskedCf, "Transmitiu: *** <STX>AR***"};
        QTest::newRow("password refused") << QStringList{"--timeout", "0.5", Failing(), "clock"} << "Outra" << 4
                                          << QStringList{maskedCf};
        QTest::newRow("accented password") << QStringList{address::Station, "identify"} << "Coração" << 0
                                           << QStringList{maskedCf};
    }
    void frameLog()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, password);
        QFETCH(int, exitCode);
        QFETCH(QStringList, lines);
        const CliRun result = run(QStringList{"--log"} + arguments, password);
        QCOMPARE(result.exitCode, exitCode);
        const QString log = QString::fromUtf8(result.err);
        for (const QString &line : lines)
            QVERIFY2(log.contains(line), qPrintable(line + QLatin1Char('\n') + log));
        // The controller reads the password in capitals, and so would the log.
        QVERIFY2(!log.contains(password, Qt::CaseInsensitive), qPrintable(log));
        QVERIFY2(!result.out.contains("<STX>"), result.out.constData());
    }

private:
    static QString Failing() { return address::Failing; }
};

QTEST_GUILESS_MAIN(TestCliEndToEnd)
#include "tst_cli_end_to_end.moc"
