#include "bytes.h"
#include "protocol/bcc.h"
#include "protocol/frame.h"
#include "protocol/log_lines.h"

#include <QtTest>

using namespace zelta;

class TestFraming : public QObject {
    Q_OBJECT

private slots:
    void frameRequest_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("read clock") << QByteArray("LR") << hex("024C52031D");
        QTest::newRow("open dialogue") << QByteArray("ID01") << hex("0249443031030F");
        QTest::newRow("measure tank 05") << QByteArray("MT05") << hex("024D543035031F");
        QTest::newRow("lower case checked after upper-casing") << QByteArray("lr") << hex("024C52031D");
        QTest::newRow("lower-case password") << QByteArray("CFsenha") << hex("02434653454E48410357");
        QTest::newRow("accented letters") << hex("4152E7E36F") << hex("024152C7C34F035B");
        QTest::newRow("empty body") << QByteArray() << hex("020303");
        QTest::newRow("keep-alive not framed") << hex("FFF1") << hex("FFF1");
        QTest::newRow("reversed keep-alive framed") << hex("F1FF") << hex("02D19F034D");
    }
    void frameRequest()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, frame);
        QCOMPARE(bytes(zelta::frameRequest(body.toStdString())).toHex(), frame.toHex());
    }

    void upperCase_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("upper");
        QTest::newRow("ascii") << QByteArray("abz AZ 09@[`{") << QByteArray("ABZ AZ 09@[`{");
        QTest::newRow("accented range, division sign, sharp s") << hex("E0E7FEF7DFC0") << hex("C0C7DEF7DFC0");
        QTest::newRow("scaron oe zcaron ydiaeresis") << hex("9A9C9EFF") << hex("8A8C8E9F");
    }
    void upperCase()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, upper);
        QCOMPARE(bytes(upperCase1252(text.toStdString())).toHex(), upper.toHex());
    }

    void checkByteOfEmptyTextIsZero() { QCOMPARE(blockCheckCharacter(""), 0); }

    void transmittedLine_data()
    {
        QTest::addColumn<QByteArray>("comandoTx");
        QTest::addColumn<bool>("logged");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("acknowledgement") << hex("06") << true << QByteArray("Transmitiu: ACK");
        QTest::newRow("framed request") << hex("024C52031D") << true << QByteArray("Transmitiu: 005 \x02LR\x03\x1D");
        QTest::newRow("two ACK bytes") << hex("0606") << true << QByteArray("Transmitiu: 002 \x06\x06");
        QTest::newRow("long") << QByteArray(1000, 'y') << true << "Transmitiu: 1000 " + QByteArray(1000, 'y');
        QTest::newRow("keep-alive") << hex("FFF1") << false << QByteArray();
        QTest::newRow("empty") << QByteArray() << false << QByteArray();
        QTest::newRow("one byte, not ACK") << hex("15") << false << QByteArray();
    }
    void transmittedLine()
    {
        QFETCH(QByteArray, comandoTx);
        QFETCH(bool, logged);
        QFETCH(QByteArray, line);
        const std::optional<std::string> actual = zelta::transmittedLine(comandoTx.toStdString());
        QCOMPARE(actual.has_value(), logged);
        QCOMPARE(bytes(actual.value_or("")), line);
    }

    void receivedLines()
    {
        QCOMPARE(bytes(receivedAckLine()), QByteArray("Recebeu: ACK"));
        QCOMPARE(bytes(receivedNakLine()), QByteArray("Recebeu: NACK"));
        QCOMPARE(bytes(receivedFrameLine("\x03")), QByteArray("Recebeu: 001 \x03"));
        QCOMPARE(bytes(receivedFrameLine(std::string(72, 'x'))), "Recebeu: 072 " + QByteArray(72, 'x'));
    }
};

QTEST_APPLESS_MAIN(TestFraming)
#include "tst_framing.moc"
