#include "protocol/bcc.h"
#include "session/readings.h"
#include "session/reply_decoding.h"
#include "session/series_tanks.h"

#include <QtTest>

#include <optional>

Q_DECLARE_METATYPE(std::optional<double>)

namespace {

// STX, body, ETX and the right check byte.
QByteArray frame(const QByteArray &body)
{
    QByteArray bytes = '\x02' + body + '\x03';
    bytes += char(zelta::blockCheckCharacter(std::string_view(bytes.constData() + 1, std::size_t(bytes.size() - 1))));
    return bytes;
}

QByteArray withWrongCheckByte(QByteArray bytes)
{
    bytes.back() = char(bytes.back() ^ 0x5A);
    return bytes;
}

// A measurement body as the controller lays it out; the complementary field, the level and
// position 70 vary.
QByteArray measurementBody(const QByteArray &code, const QByteArray &complementary, const QByteArray &level,
                           char mark)
{
    return code + "002" "DIESEL S10 " "0.0008" "0.84" "030000" "022400" + complementary + "022310" + level
        + "153000" "311224" + mark;
}

} // namespace

class TestReadings : public QObject {
    Q_OBJECT

private slots:
    void completeNumbers_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<std::optional<double>>("expected");
        const std::optional<double> none;
        QTest::newRow("zero-padded") << QStringLiteral("018250") << std::optional<double>(18250);
        QTest::newRow("density") << QStringLiteral("0.84") << std::optional<double>(0.84);
        QTest::newRow("blank-padded") << QStringLiteral("  0.7 ") << std::optional<double>(0.7);
        QTest::newRow("negative") << QStringLiteral("-12.5") << std::optional<double>(-12.5);
        QTest::newRow("plus sign") << QStringLiteral("+3") << std::optional<double>(3);
        QTest::newRow("point first") << QStringLiteral(".5") << std::optional<double>(0.5);
        QTest::newRow("no level") << QStringLiteral("S/Inf.") << none;
        QTest::newRow("empty") << QString() << none;
        QTest::newRow("blanks only") << QStringLiteral("   ") << none;
        QTest::newRow("decimal comma") << QStringLiteral("12,5") << none;
        QTest::newRow("two points") << QStringLiteral("1.2.3") << none;
        QTest::newRow("trailing letter") << QStringLiteral("12a") << none;
        QTest::newRow("blank inside") << QStringLiteral("1 2") << none;
        QTest::newRow("sign alone") << QStringLiteral("-") << none;
        QTest::newRow("point alone") << QStringLiteral(".") << none;
        QTest::newRow("exponent") << QStringLiteral("1e3") << none;
        QTest::newRow("cut by CR") << QStringLiteral("0010\r0") << none;
    }
    void completeNumbers()
    {
        QFETCH(QString, field);
        QFETCH(std::optional<double>, expected);
        QCOMPARE(completeNumber(field), expected);
    }

    void controllerDateTimes_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("iso");  // empty: no date and time
        QTest::newRow("new year's eve") << "311224" << "153000" << "2024-12-31T15:30:00";
        QTest::newRow("midnight") << "010124" << "000000" << "2024-01-01T00:00:00";
        QTest::newRow("29 February, leap year") << "290224" << "235959" << "2024-02-29T23:59:59";
        QTest::newRow("29 February, common year") << "290223" << "120000" << "";
        QTest::newRow("year 00") << "150600" << "060000" << "2000-06-15T06:00:00";
        QTest::newRow("date of zeros") << "000000" << "120000" << "";
        QTest::newRow("month 13") << "011324" << "120000" << "";
        QTest::newRow("hour 24") << "311224" << "240000" << "";
        QTest::newRow("minute 60") << "311224" << "156000" << "";
        QTest::newRow("letter in date") << "3112A4" << "153000" << "";
        QTest::newRow("blank in time") << "311224" << " 53000" << "";
        QTest::newRow("short date") << "31122" << "153000" << "";
        QTest::newRow("long time") << "311224" << "1530001" << "";
        QTest::newRow("empty") << "" << "" << "";
    }
    void controllerDateTimes()
    {
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QString, iso);
        const std::optional<QDateTime> at = controllerDateTime(date, time);
        QCOMPARE(at.has_value(), !iso.isEmpty());
        if (at) {
            QCOMPARE(at->timeSpec(), Qt::LocalTime);
            QCOMPARE(at->toString(Qt::ISODate), iso);
        }
    }

    void checkByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("matches");
        QTest::newRow("clock reply") << frame("LR15300031122403") << true;
        QTest::newRow("wrong check byte") << withWrongCheckByte(frame("LR15300031122403")) << false;
        QTest::newRow("STX alone") << QByteArray("\x02") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void checkByte()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, matches);
        QCOMPARE(checkByteMatches(bytes), matches);
    }

    void measurement_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("command");
        QTest::addColumn<std::optional<double>>("complementary");
        QTest::addColumn<std::optional<double>>("level");
        QTest::addColumn<bool>("byWeight");
        QTest::addColumn<bool>("lastOfReading");
        QTest::addColumn<bool>("matches");
        const std::optional<double> none;
        QTest::newRow("measured by volume")
            << frame(measurementBody("MT", "007600", "001735", ' ')) << "MT" << std::optional<double>(7600)
            << std::optional<double>(1735) << false << false << true;
        QTest::newRow("by weight") << frame(measurementBody("LM", "007600", "001735", 'P')) << "LM"
                                   << std::optional<double>(7600) << std::optional<double>(1735) << true << false
                                   << true;
        QTest::newRow("no level") << frame(measurementBody("MT", "007600", "S/Inf.", ' ')) << "MT"
                                  << std::optional<double>(7600) << none << false << false << true;
        QTest::newRow("last of an inventory, CR at 44")
            << frame(measurementBody("MA", "7600\r ", "001735", ' ')) << "MA" << none
            << std::optional<double>(1735) << false << true << true;
        QTest::newRow("wrong check byte") << withWrongCheckByte(frame(measurementBody("MT", "007600", "001735", ' ')))
                                          << "MT" << std::optional<double>(7600) << std::optional<double>(1735)
                                          << false << false << false;
    }
    void measurement()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, command);
        QFETCH(std::optional<double>, complementary);
        QFETCH(std::optional<double>, level);
        QFETCH(bool, byWeight);
        QFETCH(bool, lastOfReading);
        QFETCH(bool, matches);
        const MeasurementReading r = decodeMeasurementReading(bytes);
        QCOMPARE(r.command, command);
        QCOMPARE(r.tank, QStringLiteral("002"));
        QCOMPARE(r.product, QStringLiteral("DIESEL S10 "));
        QCOMPARE(completeNumber(r.expansion), std::optional<double>(0.0008));
        QCOMPARE(completeNumber(r.density), std::optional<double>(0.84));
        QCOMPARE(completeNumber(r.capacity), std::optional<double>(30000));
        QCOMPARE(completeNumber(r.measured), std::optional<double>(22400));
        QCOMPARE(completeNumber(r.volume20), std::optional<double>(22310));
        QCOMPARE(complementaryValue(r), complementary);
        QCOMPARE(completeNumber(r.level), level);
        QCOMPARE(controllerDateTime(r.date, r.time)->toString(Qt::ISODate), QStringLiteral("2024-12-31T15:30:00"));
        QCOMPARE(r.byWeight, byWeight);
        QCOMPARE(r.lastOfReading, lastOfReading);
        QCOMPARE(r.checkByteMatches, matches);
    }

    void product_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("product");
        QTest::newRow("accented, Windows-1252") << QByteArray("A\xC7\xDA" "CAR     ") << QStringLiteral("AÇÚCAR     ");
        QTest::newRow("lower case kept") << QByteArray("etanol     ") << QStringLiteral("etanol     ");
    }
    void product()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, product);
        const QByteArray body = "MT001" + name + "0.00120.74030000018250011750018130001420120000010324 ";
        QCOMPARE(decodeMeasurementReading(frame(body)).product, product);
    }

    void sensors_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("states");  // sensors 1, 2, ...
        QTest::addColumn<bool>("bar1");
        QTest::addColumn<bool>("bar2");
        QTest::newRow("one leak, bar 1 active")
            << frame("LS" "2232222400000000" "A" "0000000000000000" "I") << QList<int>{2, 2, 3, 2, 2, 2, 2, 4, 0}
            << true << false;
        QTest::newRow("second bar") << frame("LS" "2222222222222222" "I" "1222000000000000" "A")
                                    << QList<int>{2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 0}
                                    << false << true;
        // The leading-number rule reads a blank as nothing and a letter as no number.
        QTest::newRow("blank and letter") << frame("LS" " X5" "2") << QList<int>{0, 0, 0, 2, 0} << false << false;
    }
    void sensors()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, states);
        QFETCH(bool, bar1);
        QFETCH(bool, bar2);
        const SensorReading r = decodeSensorReading(bytes, 8);
        QCOMPARE(r.count, 8);
        QCOMPARE(r.bar1Active, bar1);
        QCOMPARE(r.bar2Active, bar2);
        for (int i = 0; i < states.size(); ++i)
            QCOMPARE(int(r.state(i + 1)), states.at(i));
        QCOMPARE(r.state(0), LeakSensorState::None);
        QCOMPARE(r.state(33), LeakSensorState::None);
    }

    void configurationAndIdentification()
    {
        const ConfigurationReading c = decodeConfigurationReading(frame("CF040041272" "08"));
        QCOMPARE(c.tanks, QStringLiteral("04"));
        QCOMPARE(c.ofe, QStringLiteral("004127"));
        QCOMPARE(meterTypeName(c.meterType), QStringLiteral("Industrial"));
        QCOMPARE(c.sensors, QStringLiteral("08"));
        QVERIFY(c.checkByteMatches);

        const IdentificationReading i = decodeIdentificationReading(withWrongCheckByte(frame("IDA0130")));
        QCOMPARE(i.address, QStringLiteral("A01"));
        QCOMPARE(i.version, QStringLiteral("30"));
        QVERIFY(!i.checkByteMatches);
    }

    void scheduled_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("moreFollow");
        QTest::newRow("more follow") << frame("MP060000010324021000001\x01") << true;
        QTest::newRow("last") << frame("MP060000010324021000001") << false;
    }
    void scheduled()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, moreFollow);
        const ScheduledReading r = decodeScheduledReading(bytes);
        QCOMPARE(r.time, QStringLiteral("060000"));
        QCOMPARE(r.date, QStringLiteral("010324"));
        QCOMPARE(r.volume, QStringLiteral("021000"));
        QCOMPARE(r.tank, QStringLiteral("001"));
        QCOMPARE(r.moreFollow, moreFollow);
        QVERIFY(r.checkByteMatches);
    }

    void errorReply_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("invalid tank") << frame("MTETI") << "MT" << "TI" << "Número do tanque inválido !";
        QTest::newRow("not enabled") << frame("MAENH") << "MA" << "NH" << "Tanque não habilitado !";
        QTest::newRow("no measurements") << frame("MPESL") << "MP" << "SL" << "Não há medições para a data !";
        QTest::newRow("probe off-line") << frame("MTEOL") << "MT" << "OL" << "Sonda OFF-LINE ou Inexistente !";
        QTest::newRow("unknown code") << frame("LMEXY") << "LM" << "XY" << "";
    }
    void errorReply()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, command);
        QFETCH(QString, code);
        QFETCH(QString, text);
        QVERIFY(isErrorReply(bytes));
        QCOMPARE(replyCode(bytes), command.toLatin1());
        const ErrorReply e = decodeErrorReply(bytes);
        QCOMPARE(e.command, command);
        QCOMPARE(e.code, code);
        QCOMPARE(e.text, text);
        QVERIFY(e.checkByteMatches);
    }

    void incompleteTotals_data()
    {
        QTest::addColumn<QList<int>>("missing");
        QTest::addColumn<QString>("text");
        QTest::newRow("every tank read") << QList<int>{} << "";
        QTest::newRow("one tank") << QList<int>{3} << "incompleto: tanque 3 sem leitura";
        QTest::newRow("two tanks") << QList<int>{3, 5} << "incompleto: tanques 3 e 5 sem leitura";
        QTest::newRow("three tanks") << QList<int>{3, 5, 16} << "incompleto: tanques 3, 5 e 16 sem leitura";
    }
    void incompleteTotals()
    {
        QFETCH(QList<int>, missing);
        QFETCH(QString, text);
        QCOMPARE(incompleteTotalText(missing), text);
    }
};

QTEST_APPLESS_MAIN(TestReadings)
#include "tst_readings.moc"
