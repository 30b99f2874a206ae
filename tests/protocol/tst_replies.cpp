#include "bytes.h"
#include "protocol/replies.h"

#include <QtTest>

using namespace zelta;

namespace {

// A measurement reply laid out field by field; the complementary field and position 70 vary.
QByteArray measurementFrame(const QByteArray &complementary, const QByteArray &weightMark)
{
    return "\x02" "MT" "003"   // 1-6 STX, code, tank
           "GASOLINA   "      // 7-17 product
           "0.0012" " 0.7"     // 18-23 expansion, 24-27 density
           "030000" "003000"   // 28-33 capacity, 34-39 measured
           + complementary     // 40-45
           + "002990" "S/Inf." // 46-51 volume at 20 degrees, 52-57 level
             "134502" "251224" // 58-63 time, 64-69 date
           + weightMark + "\x03" "\x7F";
}

} // namespace

class TestReplies : public QObject {
    Q_OBJECT

private slots:
    void header_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<bool>("error");
        QTest::addColumn<QByteArray>("errorCode");
        QTest::newRow("error reply") << QByteArray("\x02" "MAETI" "\x03" "\x7F") << QByteArray("MA") << true
                                     << QByteArray("TI");
        QTest::newRow("lower-case e") << QByteArray("\x02" "IDeTI") << QByteArray("ID") << false << QByteArray("TI");
        QTest::newRow("STX alone") << QByteArray("\x02") << QByteArray() << false << QByteArray();
    }
    void header()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, code);
        QFETCH(bool, error);
        QFETCH(QByteArray, errorCode);
        const std::string f = frame.toStdString();
        QCOMPARE(bytes(replyCode(f)), code);
        QCOMPARE(isErrorReply(f), error);
        QCOMPARE(bytes(zelta::errorCode(f)), errorCode);
    }

    void measurement_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArrayList>("fields");
        QTest::addColumn<bool>("byWeight");
        QTest::addColumn<bool>("lastOfReading");
        const QByteArrayList full{"003",    "GASOLINA   ", "0.0012", " 0.7",   "030000", "003000",
                                  "001000", "002990",      "S/Inf.", "134502", "251224"};
        QByteArrayList withCr = full;
        withCr[6] = "0010\r0";
        QTest::newRow("by volume") << measurementFrame("001000", "V") << full << false << false;
        QTest::newRow("by weight, CR at 44") << measurementFrame("0010\r0", "P") << withCr << true << true;
        QTest::newRow("nothing at 70") << measurementFrame("001000", "") << full << false << false;
        QTest::newRow("short") << QByteArray("\x02" "LM" "003GASOLINA   0.0012 0.7030000003000001")
                               << QByteArrayList{"003", "GASOLINA   ", "0.0012", " 0.7", "030000", "003000", "001",
                                                 "", "", "", ""}
                               << false << false;
    }
    void measurement()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArrayList, fields);
        QFETCH(bool, byWeight);
        QFETCH(bool, lastOfReading);
        const MeasurementFields m = decodeMeasurement(frame.toStdString());
        const QByteArrayList decoded{bytes(m.tank),     bytes(m.product),       bytes(m.expansion),
                                     bytes(m.density),  bytes(m.capacity),      bytes(m.measured),
                                     bytes(m.complementary), bytes(m.volume20), bytes(m.level),
                                     bytes(m.time),     bytes(m.date)};
        QCOMPARE(decoded, fields);
        QCOMPARE(m.byWeight, byWeight);
        QCOMPARE(m.lastOfReading, lastOfReading);
    }

    void shortFields_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArrayList>("fields");
        QTest::newRow("clock") << QByteArray("\x02" "LR" "134502" "251224" "03" "\x03" "\x7F")
                               << QByteArrayList{"134502", "251224", "03"};
        QTest::newRow("short clock") << QByteArray("\x02" "AR" "1345") << QByteArrayList{"1345", "", ""};
        QTest::newRow("configuration") << QByteArray("\x02" "CF" "04" "123456" "1" "08" "\x03" "\x7F")
                                       << QByteArrayList{"04", "123456", "1", "08"};
        QTest::newRow("short configuration") << QByteArray("\x02" "CF" "0") << QByteArrayList{"0", "", "", ""};
        QTest::newRow("identification") << QByteArray("\x02" "ID" "A01" "30" "\x03" "\x7F")
                                        << QByteArrayList{"A01", "30"};
        QTest::newRow("short identification") << QByteArray("\x02" "ID" "A0") << QByteArrayList{"A0", ""};
    }
    void shortFields()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArrayList, fields);
        const std::string f = frame.toStdString();
        QByteArrayList decoded;
        if (replyCode(f) == "CF") {
            const ConfigurationFields c = decodeConfiguration(f);
            decoded = {bytes(c.tanks), bytes(c.ofe), bytes(c.meterType), bytes(c.sensors)};
        } else if (replyCode(f) == "ID") {
            const IdentificationFields i = decodeIdentification(f);
            decoded = {bytes(i.address), bytes(i.version)};
        } else {
            const ClockFields c = decodeClock(f);
            decoded = {bytes(c.time), bytes(c.date), bytes(c.day)};
        }
        QCOMPARE(decoded, fields);
    }

    void sensors_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QList<int>>("states");
        QTest::addColumn<bool>("bar1");
        QTest::addColumn<bool>("bar2");
        QTest::newRow("both bars") << QByteArray("\x02" "LS" "2301 5X.42222222" "A" "4222222222222221" " " "\x03" "\x7F")
                                   << QList<int>{2, 3, 0, 1, 0, 0, 0, 0, 4, 2, 2, 2, 2, 2, 2, 2,
                                                 4, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 1, 0}
                                   << true << false;
        QTest::newRow("bar 2 only") << "\x02" "LS" + QByteArray(16, '2') + "I" + QByteArray(16, '2') + "A"
                                    << QList<int>(32, 2) << false << true;
        QTest::newRow("short") << QByteArray("\x02" "LS" "23") << QList<int>{2, 3, 0} << false << false;
    }
    void sensors()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QList<int>, states);
        QFETCH(bool, bar1);
        QFETCH(bool, bar2);
        const SensorFields s = decodeSensors(frame.toStdString());
        QList<int> decoded;
        for (int i = 1; i <= states.size(); ++i)
            decoded << sensorState(s, i);
        QCOMPARE(decoded, states);
        QCOMPARE(sensorState(s, 0), 0);
        QCOMPARE(s.bar1Active, bar1);
        QCOMPARE(s.bar2Active, bar2);
    }

    void scheduled_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArrayList>("fields");
        QTest::addColumn<bool>("moreFollow");
        const QByteArrayList record{"134502", "251224", "012345", " 03"};
        QTest::newRow("SOH at 25") << QByteArray("\x02" "MP" "134502" "251224" "012345" " 03" "\x01" "\x03" "\x7F")
                                   << record << true;
        QTest::newRow("last record") << QByteArray("\x02" "MP" "134502" "251224" "012345" " 03" "\x03" "\x7F")
                                     << record << false;
        QTest::newRow("short") << QByteArray("\x02" "MP" "134502" "2512") << QByteArrayList{"134502", "2512", "", ""}
                               << false;
    }
    void scheduled()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArrayList, fields);
        QFETCH(bool, moreFollow);
        const ScheduledFields s = decodeScheduled(frame.toStdString());
        QCOMPARE((QByteArrayList{bytes(s.time), bytes(s.date), bytes(s.volume), bytes(s.tank)}), fields);
        QCOMPARE(s.moreFollow, moreFollow);
    }
};

QTEST_APPLESS_MAIN(TestReplies)
#include "tst_replies.moc"
