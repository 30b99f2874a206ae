#include "simulator/request_scanner.h"

#include <QtTest>

namespace {

// Events as text: "A" for ACK, "N" for NAK, the frame in hex otherwise.
QStringList scan(const QByteArrayList &chunks)
{
    RequestScanner scanner;
    QStringList events;
    for (const QByteArray &chunk : chunks) {
        for (const RequestScanner::Event &event : scanner.feed(chunk)) {
            switch (event.kind) {
            case RequestScanner::Kind::Ack: events << QStringLiteral("A"); break;
            case RequestScanner::Kind::Nak: events << QStringLiteral("N"); break;
            case RequestScanner::Kind::Frame: events << QString::fromLatin1(event.frame.toHex()); break;
            }
        }
    }
    return events;
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

} // namespace

class TestRequestScanner : public QObject {
    Q_OBJECT

private slots:
    void scanning_data()
    {
        QTest::addColumn<QByteArrayList>("chunks");
        QTest::addColumn<QStringList>("events");

        QTest::newRow("one frame") << QByteArrayList{hex("024C52031D")} << QStringList{"024c52031d"};
        QTest::newRow("byte by byte") << QByteArrayList{hex("02"), hex("4C"), hex("52"), hex("03"), hex("1D")}
                                      << QStringList{"024c52031d"};
        QTest::newRow("check byte in the next chunk") << QByteArrayList{hex("024C5203"), hex("1D024C")}
                                                      << QStringList{"024c52031d"};
        QTest::newRow("two frames in one chunk") << QByteArrayList{hex("024C52031D0249443031030F")}
                                                 << QStringList{"024c52031d", "0249443031030f"};
        QTest::newRow("keep-alives, one split") << QByteArrayList{hex("FFF1024C52031DFFF1"), hex("FF"), hex("F1")}
                                                << QStringList{"024c52031d"};
        QTest::newRow("acknowledgements outside frames") << QByteArrayList{hex("06024C52031D15")}
                                                         << QStringList{"A", "024c52031d", "N"};
        QTest::newRow("check byte that looks like STX") << QByteArrayList{hex("0200030206")}
                                                        << QStringList{"02000302", "A"};
        QTest::newRow("check byte that looks like ACK") << QByteArrayList{hex("02050306")} << QStringList{"02050306"};
        QTest::newRow("garbage dropped") << QByteArrayList{hex("41FF4203"), hex("024C52031D")}
                                         << QStringList{"024c52031d"};
        QTest::newRow("frame cut short by a new one") << QByteArrayList{hex("024D54"), hex("024C52031D")}
                                                      << QStringList{"024c52031d"};
        QTest::newRow("overlong frame dropped") << QByteArrayList{hex("02") + QByteArray(300, 'A') + hex("0341"),
                                                                  hex("024C52031D")}
                                                << QStringList{"024c52031d"};
    }
    void scanning()
    {
        QFETCH(QByteArrayList, chunks);
        QFETCH(QStringList, events);
        QCOMPARE(scan(chunks), events);
    }
};

QTEST_APPLESS_MAIN(TestRequestScanner)
#include "tst_request_scanner.moc"
