#include "tests/support/csv_reader.h"
#include "tests/support/store_test_support.h"

#include "cli/csv_report.h"
#include "cli/json_report.h"
#include "cli/text_report.h"
#include "session/reply_decoding.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

Q_DECLARE_METATYPE(CommandReport)

namespace {

// Tank 1's GASOLINA as these tests' controller measures it, at 15:30 on 31/12/24.
MeasurementFrame measured()
{
    MeasurementFrame m;
    m.product = "GASOLINA   ";
    m.measured = "018250";
    m.complementary = "011750";
    m.volume20 = "018130";
    m.level = "001420";
    m.time = "153000";
    m.date = "311224";
    return m;
}

TankAnswer measuredAnswer(const MeasurementFrame &m)
{
    TankAnswer answer;
    answer.reading = m.reading();
    return answer;
}

TankAnswer errorAnswer(int tank, const QByteArray &code)
{
    TankAnswer answer;
    answer.tank = tank;
    answer.error = decodeErrorReply(replyFrame("MAE" + code));
    return answer;
}

// The place of tank 6 in an inventory, taken by a second reply of tank 5.
TankAnswer unusableAnswer()
{
    MeasurementFrame repeated = measured();
    repeated.code = "MA";
    repeated.tank = "005";
    TankAnswer answer;
    answer.tank = 6;
    answer.rejected = RejectedReply{repeated.frame(), ReplyProblem::TankRepeated, 5};
    return answer;
}

const QString RepeatedText = QStringLiteral("Resposta inválida do controlador: resposta MA do tanque 5 repetida na série");

CommandReport report(CliCommand command)
{
    CommandReport r;
    r.command = command;
    r.station = QStringLiteral("Posto Centro");
    return r;
}

CommandReport measurement(const TankAnswer &answer)
{
    CommandReport r = report(CliCommand::Measure);
    r.tanks << answer;
    return r;
}

// Six tanks: two of one product (one named with trailing blanks cut differently), an off-line probe,
// one of the same product measured by weight, one whose complementary field is cut by the end of
// the reading, and one whose reply could not be used.
CommandReport inventory()
{
    CommandReport r = report(CliCommand::Inventory);
    MeasurementFrame gasoline = measured();
    r.tanks << measuredAnswer(gasoline);
    MeasurementFrame second = measured();
    second.tank = "002";
    second.product = " GASOLINA  ";
    second.measured = "001000";
    second.complementary = "000500";
    r.tanks << measuredAnswer(second);
    r.tanks << errorAnswer(3, "OL");
    MeasurementFrame weighed = measured();
    weighed.tank = "004";
    weighed.measured = "000700";
    weighed.complementary = "000300";
    weighed.mark = 'P';
    r.tanks << measuredAnswer(weighed);
    MeasurementFrame last = measured();
    last.tank = "005";
    last.product = "ETANOL     ";
    last.measured = "009800";
    last.complementary = "5200\r ";
    r.tanks << measuredAnswer(last);
    r.tanks << unusableAnswer();
    return r;
}

CommandReport sensors()
{
    CommandReport r = report(CliCommand::Sensors);
    r.sensors = decodeSensorReading(replyFrame("LS" "2213 42000000000" "A" "0000000000000000" "I"), 7);
    return r;
}

CommandReport clock(const QByteArray &date)
{
    CommandReport r = report(CliCommand::Clock);
    r.clock = decodeClockReading(replyFrame("LR153000" + date + "03"));
    return r;
}

CommandReport scheduled(const QString &date, const QList<QByteArray> &records)
{
    CommandReport r = report(CliCommand::Scheduled);
    r.scheduledDate = date;
    for (const QByteArray &record : records)
        r.scheduled << decodeScheduledReading(replyFrame("MP" + record));
    return r;
}

CommandReport identification()
{
    CommandReport r = report(CliCommand::Identify);
    r.identification = decodeIdentificationReading(replyFrame("IDA0130"));
    r.configuration = decodeConfigurationReading(replyFrame("CF040041273" "08"));
    return r;
}

QJsonObject json(const CommandReport &r)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(jsonReport(r), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        qWarning() << "not a JSON object:" << error.errorString();
    return document.object();
}

const QJsonValue Null(QJsonValue::Null);

} // namespace

class TestCliFormats : public QObject {
    Q_OBJECT

private slots:
    void jsonMeasurement_data()
    {
        QTest::addColumn<CommandReport>("report");
        QTest::addColumn<QJsonObject>("expected");
        const QJsonObject full{{"tank", 1},         {"product", "GASOLINA"}, {"measured", 18250},
                               {"complementary", 11750}, {"volume20", 18130},  {"density", 0.74},
                               {"level_mm", 1420},   {"expansion", 0.0012},   {"capacity", 30000},
                               {"unit", "L"},        {"time", "2024-12-31T15:30:00"}};
        QTest::newRow("by volume") << measurement(measuredAnswer(measured())) << full;

        MeasurementFrame odd = measured();
        odd.level = "S/Inf.";
        odd.complementary = "0117\r ";
        odd.mark = 'P';
        odd.date = "290223";
        QJsonObject oddExpected = full;
        oddExpected["level_mm"] = Null;
        oddExpected["complementary"] = Null;
        oddExpected["unit"] = "kg";
        oddExpected["time"] = Null;
        QTest::newRow("by weight, no level, cut, 29/02/23") << measurement(measuredAnswer(odd)) << oddExpected;

        MeasurementFrame unreadable = measured();
        unreadable.measured = "12,5  ";
        QJsonObject unreadableExpected = full;
        unreadableExpected["measured"] = Null;
        QTest::newRow("decimal comma") << measurement(measuredAnswer(unreadable)) << unreadableExpected;

        QTest::newRow("error reply")
            << measurement(errorAnswer(4, "NH"))
            << QJsonObject{{"tank", 4}, {"error", QJsonObject{{"code", "NH"}, {"text", "Tanque não habilitado !"}}}};
        TankAnswer unknownTank;
        unknownTank.error = decodeErrorReply(replyFrame("MTEXY"));
        QTest::newRow("error reply, tank unknown")
            << measurement(unknownTank) << QJsonObject{{"error", QJsonObject{{"code", "XY"}, {"text", ""}}}};
    }
    void jsonMeasurement()
    {
        QFETCH(CommandReport, report);
        QFETCH(QJsonObject, expected);
        QCOMPARE(json(report), expected);
    }

    void jsonInventory()
    {
        const QJsonObject object = json(inventory());
        QCOMPARE(object["station"].toString(), QStringLiteral("Posto Centro"));
        const QJsonArray tanks = object["tanks"].toArray();
        QCOMPARE(tanks.size(), 6);
        QCOMPARE(tanks[2].toObject(), (QJsonObject{{"tank", 3},
                                                   {"error", QJsonObject{{"code", "OL"},
                                                                         {"text", "Sonda OFF-LINE ou Inexistente !"}}}}));
        QCOMPARE(tanks[3].toObject()["unit"].toString(), QStringLiteral("kg"));
        QCOMPARE(tanks[4].toObject()["complementary"], Null);
        QCOMPARE(tanks[5].toObject(), (QJsonObject{{"tank", 6}, {"error", QJsonObject{{"code", Null}, {"text", RepeatedText}}}}));
        // Litres and kilograms of one product stay apart; the cut complementary field leaves its
        // product's total unknown rather than short; any total may lack the tanks without a reading.
        const QJsonArray missing{3, 6};
        const QJsonArray expected{
            QJsonObject{{"product", "GASOLINA"}, {"unit", "L"}, {"measured", 19250}, {"complementary", 12250},
                        {"missing_tanks", missing}},
            QJsonObject{{"product", "GASOLINA"}, {"unit", "kg"}, {"measured", 700}, {"complementary", 300},
                        {"missing_tanks", missing}},
            QJsonObject{{"product", "ETANOL"}, {"unit", "L"}, {"measured", 9800}, {"complementary", Null},
                        {"missing_tanks", missing}},
        };
        QCOMPARE(object["totals"].toArray(), expected);
    }

    void jsonOthers_data()
    {
        QTest::addColumn<CommandReport>("report");
        QTest::addColumn<QJsonObject>("expected");
        QTest::newRow("sensors")
            << sensors()
            << QJsonObject{{"count", 7},
                           {"bar1_active", true},
                           {"bar2_active", false},
                           {"sensors", QJsonArray{QJsonObject{{"number", 1}, {"state", "normal"}, {"label", "Normal"}},
                                                  QJsonObject{{"number", 2}, {"state", "normal"}, {"label", "Normal"}},
                                                  QJsonObject{{"number", 3}, {"state", "short"}, {"label", "em Curto"}},
                                                  QJsonObject{{"number", 4}, {"state", "leak"}, {"label", "Vazamento"}},
                                                  QJsonObject{{"number", 6}, {"state", "open"}, {"label", "Aberto"}},
                                                  QJsonObject{{"number", 7}, {"state", "normal"}, {"label", "Normal"}}}}};
        QTest::newRow("clock") << clock("311224") << QJsonObject{{"time", "2024-12-31T15:30:00"}, {"day", 3}};
        QTest::newRow("clock, impossible date") << clock("320124") << QJsonObject{{"time", Null}, {"day", 3}};
        QTest::newRow("scheduled")
            << scheduled("010324", {"060000010324021000001\x01", "183000010324006400003"})
            << QJsonObject{{"date", "2024-03-01"},
                           {"measurements",
                            QJsonArray{QJsonObject{{"number", 1}, {"tank", 1}, {"volume", 21000}, {"time", "2024-03-01T06:00:00"}},
                                       QJsonObject{{"number", 2}, {"tank", 3}, {"volume", 6400}, {"time", "2024-03-01T18:30:00"}}}}};
        QTest::newRow("scheduled, none") << scheduled("020324", {})
                                         << QJsonObject{{"date", "2024-03-02"}, {"measurements", QJsonArray()}};
        QTest::newRow("scheduled, impossible date") << scheduled("999999", {})
                                                    << QJsonObject{{"date", Null}, {"measurements", QJsonArray()}};
        QTest::newRow("identify") << identification()
                                  << QJsonObject{{"address", "A01"}, {"version", "30"}, {"tanks", 4},
                                                 {"ofe", 4127}, {"meter_type", "Frotista"}, {"sensors", 8}};
    }
    void jsonOthers()
    {
        QFETCH(CommandReport, report);
        QFETCH(QJsonObject, expected);
        QCOMPARE(json(report), expected);
    }

    void csv_data()
    {
        QTest::addColumn<CommandReport>("report");
        QTest::addColumn<QList<QStringList>>("expected");
        const QStringList measurementHeader{"tank", "product",  "measured", "complementary", "volume20",
                                            "density", "level_mm", "expansion", "capacity", "unit",
                                            "time", "error_code", "error_text"};
        MeasurementFrame quoted = measured();
        quoted.product = "OLEO \"A\",B ";
        quoted.level = "S/Inf.";
        QTest::newRow("measure, quoted product")
            << measurement(measuredAnswer(quoted))
            << QList<QStringList>{measurementHeader,
                                  {"1", "OLEO \"A\",B", "18250", "11750", "18130", "0.74", "", "0.0012", "30000", "L",
                                   "2024-12-31T15:30:00", "", ""}};
        QTest::newRow("inventory")
            << inventory()
            << QList<QStringList>{
                   measurementHeader,
                   {"1", "GASOLINA", "18250", "11750", "18130", "0.74", "1420", "0.0012", "30000", "L", "2024-12-31T15:30:00", "", ""},
                   {"2", "GASOLINA", "1000", "500", "18130", "0.74", "1420", "0.0012", "30000", "L", "2024-12-31T15:30:00", "", ""},
                   {"3", "", "", "", "", "", "", "", "", "", "", "OL", "Sonda OFF-LINE ou Inexistente !"},
                   {"4", "GASOLINA", "700", "300", "18130", "0.74", "1420", "0.0012", "30000", "kg", "2024-12-31T15:30:00", "", ""},
                   {"5", "ETANOL", "9800", "", "18130", "0.74", "1420", "0.0012", "30000", "L", "2024-12-31T15:30:00", "", ""},
                   {"6", "", "", "", "", "", "", "", "", "", "", "", RepeatedText}};
        QTest::newRow("sensors") << sensors()
                                 << QList<QStringList>{{"number", "state", "label"},
                                                       {"1", "normal", "Normal"},
                                                       {"2", "normal", "Normal"},
                                                       {"3", "short", "em Curto"},
                                                       {"4", "leak", "Vazamento"},
                                                       {"6", "open", "Aberto"},
                                                       {"7", "normal", "Normal"}};
        QTest::newRow("clock") << clock("311224")
                               << QList<QStringList>{{"time", "day", "weekday"}, {"2024-12-31T15:30:00", "3", "Terça-feira"}};
        QTest::newRow("scheduled") << scheduled("010324", {"060000010324021000001"})
                                   << QList<QStringList>{{"number", "tank", "volume", "time"},
                                                         {"1", "1", "21000", "2024-03-01T06:00:00"}};
        QTest::newRow("scheduled, none") << scheduled("020324", {})
                                         << QList<QStringList>{{"number", "tank", "volume", "time"}};
        QTest::newRow("identify") << identification()
                                  << QList<QStringList>{{"address", "version", "tanks", "ofe", "meter_type", "sensors"},
                                                        {"A01", "30", "4", "4127", "Frotista", "8"}};
    }
    void csv()
    {
        QFETCH(CommandReport, report);
        QFETCH(QList<QStringList>, expected);
        const std::optional<QList<QStringList>> records = readCsv(csvReport(report));
        QVERIFY(records);
        QCOMPARE(*records, expected);
    }

    void text_data()
    {
        QTest::addColumn<CommandReport>("report");
        QTest::addColumn<QStringList>("lines");  // each must appear whole, blanks squeezed
        QTest::newRow("measure")
            << measurement(measuredAnswer(measured()))
            << QStringList{"Tanque Produto Medido Complementar Vol. a 20 °C Densidade Nível (mm) Coef. dilatação "
                           "Capacidade Unidade Data e hora",
                           "1 GASOLINA 18250 11750 18130 0.74 1420 0.0012 30000 L 31/12/2024 15:30:00"};
        QTest::newRow("measure, error") << measurement(errorAnswer(4, "NH"))
                                        << QStringList{"Tanque Erro Mensagem", "4 NH Tanque não habilitado !"};
        QTest::newRow("inventory") << inventory()
                                   << QStringList{"Inventário - Posto Centro", "3 OL Sonda OFF-LINE ou Inexistente !",
                                                  "5 ETANOL 9800 - 18130 0.74 1420 0.0012 30000 L 31/12/2024 15:30:00",
                                                  "6 " + RepeatedText, "Totais por produto",
                                                  "Produto Unidade Medido Complementar Situação",
                                                  "GASOLINA L 19250 12250 incompleto: tanques 3 e 6 sem leitura",
                                                  "GASOLINA kg 700 300 incompleto: tanques 3 e 6 sem leitura",
                                                  "ETANOL L 9800 - incompleto: tanques 3 e 6 sem leitura"};
        CommandReport everyTankRead = report(CliCommand::Inventory);
        everyTankRead.tanks << measuredAnswer(measured());
        QTest::newRow("inventory, every tank read")
            << everyTankRead << QStringList{"Produto Unidade Medido Complementar", "GASOLINA L 18250 11750"};
        QTest::newRow("sensors") << sensors()
                                 << QStringList{"Sensores Barra 1 ativa Barra 2 ativa", "7 sim não", "3 short em Curto"};
        QTest::newRow("clock") << clock("311224") << QStringList{"31/12/2024 15:30:00 3 Terça-feira"};
        QTest::newRow("scheduled, none") << scheduled("020324", {})
                                         << QStringList{"Medições na data 02/03/2024", "Não há medições para a data !"};
        QTest::newRow("identify") << identification()
                                  << QStringList{"Endereço Versão Tanques No. OFE Tipo de medidor Sensores",
                                                 "A01 30 4 4127 Frotista 8"};
    }
    void text()
    {
        QFETCH(CommandReport, report);
        QFETCH(QStringList, lines);
        QStringList squeezed;
        for (const QString &line : QString::fromUtf8(textReport(report)).split(QLatin1Char('\n')))
            squeezed << line.simplified();
        for (const QString &line : lines)
            QVERIFY2(squeezed.contains(line), qPrintable(line + QStringLiteral("\nnot in:\n") + squeezed.join('\n')));
    }
};

QTEST_GUILESS_MAIN(TestCliFormats)
#include "tst_cli_formats.moc"
