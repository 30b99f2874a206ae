#include "tests/support/cli_run.h"
#include "tests/support/csv_reader.h"
#include "tests/support/simulators.h"
#include "tests/support/stations.h"

#include "stations/station_file_writer.h"
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
const QString Echo = QStringLiteral("127.0.0.138");          // sends "CF" and "AR" back
const QString EchoBadCheck = QStringLiteral("127.0.0.139");  // sends them back with a wrong check byte
const QString Unruly = QStringLiteral("127.0.0.149");        // control bytes and a formula in its products
} // namespace address

namespace {

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
    ProgramResult run(const QStringList &arguments, const QString &password = QStringLiteral("SENHA"))
    {
        return runCli(arguments, password, home_.path());
    }

    QTemporaryDir home_;
    QTemporaryDir dataDirectory_;
    std::unique_ptr<ControllerSimulator> station_;
    std::unique_ptr<ControllerSimulator> failing_;
    std::unique_ptr<ControllerSimulator> notA01_;
    std::unique_ptr<ControllerSimulator> nak_;
    std::unique_ptr<ControllerSimulator> closing_;
    std::unique_ptr<ControllerSimulator> badCheck_;
    std::unique_ptr<ControllerSimulator> echo_;
    std::unique_ptr<ControllerSimulator> echoBadCheck_;
    std::unique_ptr<ControllerSimulator> unruly_;
    QTcpServer silent_;

private slots:
    void initTestCase()
    {
        QVERIFY(QFileInfo(QStringLiteral(COMZELTA_CLI)).isExecutable());
        // The console's default data directory exists, so every run keeps its readings there.
        QVERIFY(QDir(home_.path()).mkpath(QStringLiteral("ComZelta")));
        station_ = startSimulator(threeTankStation(), address::Station);
        failing_ = startSimulator(passwordErrorRepliesStation(), address::Failing);
        notA01_ = startSimulator(QStringLiteral("[station]\naddress = B07\n"), address::NotA01);
        nak_ = startSimulator(QStringLiteral(""), address::Nak);
        closing_ = startSimulator(QStringLiteral(""), address::Closing);
        badCheck_ = startSimulator(threeTankStation(), address::BadCheck);
        echo_ = startSimulator(threeTankStation(), address::Echo);
        echoBadCheck_ = startSimulator(threeTankStation(), address::EchoBadCheck);
        unruly_ = startSimulator(threeTankStation(), address::Unruly);
        QVERIFY(station_ && failing_ && notA01_ && nak_ && closing_ && badCheck_ && echo_ && echoBadCheck_ && unruly_);
        nak_->setNakRequests(true);
        closing_->setCloseAfterFrames(1);
        badCheck_->setWrongCheckByte(true);
        echo_->setReplyFault(ReplyFault::Echo, {"CF", "AR"});
        echoBadCheck_->setReplyFault(ReplyFault::Echo, {"CF", "AR"});
        echoBadCheck_->setWrongCheckByte(true);
        // A terminal title sequence, a NUL and a line feed; a spreadsheet formula.
        unruly_->station().tanks[1].product = QString::fromUtf8("G\x1B]0;X\x07\0\nZ", 10);
        unruly_->station().tanks[2].product = QStringLiteral("=cmd|'/C x'");
        QVERIFY(silent_.listen(QHostAddress(address::Silent), 4001));

        StationTable rows;
        rows.entry(2) = {QStringLiteral("Posto Centro"), address::Station, QStringLiteral("4001")};
        const Result<void, StationFileProblem> saved = saveStationFile(dataDirectory_.path() + QLatin1Char('/'), rows);
        QVERIFY2(saved, qPrintable(saved ? QString() : stationFileProblemText(saved.error())));
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

        const ProgramResult json = run(QStringList{"--format", "json", address::Station} + command);
        QCOMPARE(json.exitCode, 0);
        QCOMPARE(sortedKeys(jsonObject(json.out)), jsonKeys);

        const ProgramResult csv = run(QStringList{"--format=csv", address::Station} + command);
        QCOMPARE(csv.exitCode, 0);
        const std::optional<QList<QStringList>> records = readCsv(csv.out);
        QVERIFY2(records, csv.out.constData());
        QCOMPARE(records->size(), 1 + csvRows);
        QCOMPARE(records->first(), csvHeader);

        const ProgramResult text = run(QStringList{address::Station} + command);
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
        const ProgramResult result = run(QStringList{"--format", "json", station} + command, QStringLiteral("zelta"));
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
        const ProgramResult result = run({"--format", "json", address::Station, "inventory"});
        QCOMPARE(result.exitCode, 0);
        const QJsonObject object = jsonObject(result.out);
        const QJsonArray tanks = object["tanks"].toArray();
        QCOMPARE(tanks.size(), 3);
        QCOMPARE(tanks[0].toObject()["complementary"].toDouble(), 11750.0);
        // The last reply of the series carries the end-of-reading CR in its complementary field.
        QCOMPARE(tanks[2].toObject()["complementary"], QJsonValue(QJsonValue::Null));
        const QJsonArray totals{
            QJsonObject{{"product", "GASOLINA"}, {"unit", "L"}, {"measured", 22350}, {"complementary", 22650},
                        {"missing_tanks", QJsonArray()}},
            QJsonObject{{"product", "ARLA"}, {"unit", "kg"}, {"measured", 2000}, {"complementary", QJsonValue()},
                        {"missing_tanks", QJsonArray()}},
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
    }
    void scheduled()
    {
        QFETCH(QString, date);
        QFETCH(QJsonObject, expected);
        const ProgramResult result = run({"--format", "json", address::Station, "scheduled", date});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(jsonObject(result.out), expected);
    }

    // A date that does not exist is a mistake of the command line, never sent as a request.
    void impossibleDateRefused()
    {
        const ProgramResult result = run({"--format", "json", address::Station, "scheduled", "310224"});
        QCOMPARE(result.exitCode, 2);
        QVERIFY(result.out.isEmpty());
        QVERIFY2(result.err.startsWith("comzelta-cli: data inexistente: \"310224\""), result.err.constData());
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
        const ProgramResult result = run({"--format", "json", address::Station, command});
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

    // The station list of COMZELTA_DATA_DIR, the console's, when --data-dir names none.
    void dataDirectoryFromEnvironment_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("the variable's list") << QStringList{"Posto do Ambiente", "clock"} << 0;
        QTest::newRow("--data-dir over it")
            << QStringList{"--data-dir", dataDirectory_.path(), "Posto do Ambiente", "clock"} << 2;
    }
    void dataDirectoryFromEnvironment()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QTemporaryDir home;
        const QString directory = home.path() + QStringLiteral("/ComZelta/");
        QVERIFY(QDir().mkpath(directory));
        StationTable rows;
        rows.entry(1) = {QStringLiteral("Posto do Ambiente"), address::Station, QStringLiteral("4001")};
        QVERIFY(saveStationFile(directory, rows).ok());
        const ProgramResult result = runCli(arguments, QStringLiteral("SENHA"), home.path());
        QVERIFY2(result.exitCode == exitCode, result.err.constData());
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
        // Neither a control byte nor a frame inside the frame reaches the controller, nor '?' for a
        // character it cannot read.
        const QString unusable = QStringLiteral("variável de ambiente COMZELTA_PASSWORD: a senha contém ");
        QTest::newRow("2: ETX in the password") << QStringList{address::Station, "clock"} << "pw\x03XX" << 2
                                                << unusable + "um caractere de controle";
        QTest::newRow("2: a frame in the password") << QStringList{address::Station, "clock"} << "pw\x02ID02" << 2
                                                    << unusable + "um caractere de controle";
        QTest::newRow("2: password outside Windows-1252") << QStringList{address::Station, "clock"}
                                                          << QString::fromUtf8("senha₽") << 2
                                                          << unusable + "um caractere fora do Windows-1252";
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
        const ProgramResult result = run(arguments, password);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(QString::fromUtf8(result.err).contains(message), result.err.constData());
    }

    void errorRepliesStillReport()
    {
        const ProgramResult measure = run({"--format", "json", Failing(), "measure", "2"}, QStringLiteral("zelta"));
        QCOMPARE(measure.exitCode, 1);
        QCOMPARE(jsonObject(measure.out),
                 (QJsonObject{{"tank", 2}, {"error", QJsonObject{{"code", "NH"}, {"text", "Tanque não habilitado !"}}}}));

        const ProgramResult inventory = run({"--format", "csv", Failing(), "inventory"}, QStringLiteral("zelta"));
        QCOMPARE(inventory.exitCode, 6);
        const std::optional<QList<QStringList>> records = readCsv(inventory.out);
        QVERIFY(records);
        QCOMPARE(records->size(), 4);
        QCOMPARE(records->at(1).mid(0, 3), (QStringList{"1", "DIESEL", "5000"}));
        QCOMPARE(records->at(2).first(), QStringLiteral("2"));
        QCOMPARE(records->at(2).mid(11), (QStringList{"NH", "Tanque não habilitado !"}));
        QCOMPARE(records->at(3).mid(11), (QStringList{"OL", "Sonda OFF-LINE ou Inexistente !"}));
    }

    void totalsNameTheTanksLeftOut_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("totals");
        QTest::newRow("text") << "text" << "DIESEL L 5000 5000 incompleto: tanques 2 e 3 sem leitura";
        QTest::newRow("json") << "json"
                              << R"([{"complementary":5000,"measured":5000,"missing_tanks":[2,3],"product":"DIESEL","unit":"L"}])";
    }

    // Tank 2 is not enabled and tank 3's probe is off-line: either may hold diesel.
    void totalsNameTheTanksLeftOut()
    {
        QFETCH(QString, format);
        QFETCH(QString, totals);
        const ProgramResult result = run({"--format", format, Failing(), "inventory"}, QStringLiteral("zelta"));
        QCOMPARE(result.exitCode, 6);
        QStringList shown;
        if (format == QLatin1String("json")) {
            shown << QString::fromUtf8(QJsonDocument(jsonObject(result.out)["totals"].toArray()).toJson(QJsonDocument::Compact));
        } else {
            for (const QString &line : QString::fromUtf8(result.out).split(QLatin1Char('\n')))
                shown << line.simplified();
        }
        QVERIFY2(shown.contains(totals), result.out.constData());
    }

    void listedStation()
    {
        QSignalSpy connections(station_.get(), &ControllerSimulator::clientConnected);
        const ProgramResult listed = run({"--data-dir", dataDirectory_.path(), "--format", "json", "Posto Centro", "identify"});
        QCOMPARE(listed.exitCode, 0);
        QCOMPARE(jsonObject(listed.out),
                 (QJsonObject{{"address", "A01"}, {"version", "30"}, {"tanks", 3}, {"ofe", 4127},
                              {"meter_type", "Industrial"}, {"sensors", 6}}));
        QCOMPARE(connections.size(), 1);

        // Not in this list, and not an address: refused before any connection is tried.
        const ProgramResult unlisted = run({"--data-dir", dataDirectory_.path(), "Posto Sul", "identify"});
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
        const ProgramResult result = run({"--password-file", file.fileName(), Failing(), "clock"}, QStringLiteral("outra"));
        QCOMPARE(result.exitCode, 0);
    }

    void wrongCheckByte()
    {
        // Interpreted all the same, as the console does, with a warning for each such reply.
        const ProgramResult result = run({"--format", "json", address::BadCheck, "measure", "1"});
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

    // A peer that sends "CF" and "AR" back sends the password back: the log masks what it received
    // as what was sent.
    void echoedPasswordMasked_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("lines");  // each part of some line of the log
        QTest::newRow("CF echoed") << QStringList{address::Echo, "clock"}
                                   << QStringList{"Recebeu: *** <STX>CF***<ETX>*"};
        // The echoed "CF" ends the dialogue as unusable: no "AR" follows it.
        QTest::newRow("CF echoed before setting the clock")
            << QStringList{address::Echo, "set-clock"}
            << QStringList{"Recebeu: *** <STX>CF***<ETX>*", "Resposta inválida do controlador: a resposta é o próprio pedido CF"};
        QTest::newRow("CF echoed, wrong check byte")
            << QStringList{address::EchoBadCheck, "clock"} << QStringList{"Recebeu: *** <STX>CF***"};
    }
    void echoedPasswordMasked()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, lines);
        const QString password = QStringLiteral("TopSecret42");
        const ProgramResult result = run(QStringList{"--log", "--timeout", "1"} + arguments, password);
        QVERIFY(result.exitCode >= 0);
        const QString log = QString::fromUtf8(result.err);
        for (const QString &line : lines)
            QVERIFY2(log.contains(line), qPrintable(line + QLatin1Char('\n') + log));
        QVERIFY2(!log.contains(password, Qt::CaseInsensitive), qPrintable(log));
        QVERIFY2(!result.out.contains("TOPSECRET42"), result.out.constData());
    }

    // What the controller names reaches the terminal with its control bytes shown, and a
    // spreadsheet with no formula to run.
    void controllerTextMadeSafe_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("shown");  // each somewhere in the output
        QTest::newRow("text") << "text" << QStringList{"G<ESC>]0;X<BEL><NUL><LF>Z", "=cmd|'/C x'"};
        QTest::newRow("csv") << "csv" << QStringList{QString::fromUtf8("1,G\uFFFD]0;X\uFFFD\uFFFD\uFFFDZ,"),
                                                    "2,'=cmd|'/C x',"};
        QTest::newRow("json") << "json" << QStringList{"\"G\\u001b]0;X\\u0007\\u0000\\nZ\"", "\"=cmd|'/C x'\""};
    }
    void controllerTextMadeSafe()
    {
        QFETCH(QString, format);
        QFETCH(QStringList, shown);
        const ProgramResult result = run({"--format", format, address::Unruly, "inventory"});
        QCOMPARE(result.exitCode, 0);
        const QString output = QString::fromUtf8(result.out);
        for (const QString &part : shown)
            QVERIFY2(output.contains(part), qPrintable(part + QLatin1Char('\n') + output));
        if (format == QLatin1String("json")) {
            QVERIFY(!jsonObject(result.out).isEmpty());
            return;
        }
        QVERIFY2(!result.out.contains('\x1B') && !result.out.contains('\x07') && !result.out.contains('\0'),
                 result.out.toHex(' ').constData());
    }
    void frameLog()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, password);
        QFETCH(int, exitCode);
        QFETCH(QStringList, lines);
        const ProgramResult result = run(QStringList{"--log"} + arguments, password);
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
