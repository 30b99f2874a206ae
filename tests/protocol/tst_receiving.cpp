#include "bytes.h"
#include "protocol/frame_assembler.h"
#include "protocol/receive_ring.h"

#include <QtTest>

using namespace zelta;

namespace {

QString describe(const FrameAssembler::Result &r)
{
    switch (r.kind) {
    case FrameAssembler::Kind::Ack: return "ACK";
    case FrameAssembler::Kind::Nak: return "NAK";
    case FrameAssembler::Kind::Frame: return "F:" + QString::fromLatin1(bytes(r.frame).toHex().toUpper());
    case FrameAssembler::Kind::Incomplete: break;
    }
    return "-";
}

QByteArray letters(int size)
{
    QByteArray text;
    for (int i = 0; i < size; ++i)
        text += char('a' + i % 26);
    return text;
}

} // namespace

class TestReceiving : public QObject {
    Q_OBJECT

private slots:
    void assembly_data()
    {
        QTest::addColumn<QByteArrayList>("chunks");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QByteArray>("remaining");
        QTest::newRow("whole frame") << QByteArrayList{hex("024C52031D")} << QStringList{"F:024C52031D"} << QByteArray();
        QTest::newRow("split in three") << QByteArrayList{hex("02"), hex("4C52"), hex("031D")}
                                        << QStringList{"-", "-", "F:024C52031D"} << QByteArray();
        QTest::newRow("ending on ETX waits for the check byte")
            << QByteArrayList{hex("024C5203")} << QStringList{"-"} << hex("024C5203");
        QTest::newRow("lone check byte 6 is ACK") << QByteArrayList{hex("02414403"), hex("06"), hex("58")}
                                                  << QStringList{"-", "ACK", "F:0241440358"} << QByteArray();
        QTest::newRow("lone check byte 21 is NAK")
            << QByteArrayList{hex("02415703"), hex("15")} << QStringList{"-", "NAK"} << hex("02415703");
        QTest::newRow("two frames, one message") << QByteArrayList{hex("024C52031D0249443031030F")}
                                                 << QStringList{"F:024C52031D0249443031030F"} << QByteArray();
        QTest::newRow("lone ETX on empty buffer") << QByteArrayList{hex("03")} << QStringList{"F:03"} << QByteArray();
        QTest::newRow("lone ETX after a byte") << QByteArrayList{hex("41"), hex("03"), hex("1D")}
                                               << QStringList{"-", "-", "F:41031D"} << QByteArray();
        QTest::newRow("other one-byte chunk accumulates") << QByteArrayList{hex("41")} << QStringList{"-"} << hex("41");
        QTest::newRow("ACK among other bytes is data") << QByteArrayList{hex("0606")} << QStringList{"-"} << hex("0606");
        QTest::newRow("only the next-to-last byte counts")
            << QByteArrayList{hex("0241031D1D"), QByteArray()} << QStringList{"-", "-"} << hex("0241031D1D");
    }
    void assembly()
    {
        QFETCH(QByteArrayList, chunks);
        QFETCH(QStringList, events);
        QFETCH(QByteArray, remaining);
        FrameAssembler assembler;
        QStringList seen;
        for (const QByteArray &chunk : chunks)
            seen << describe(assembler.feed(chunk.toStdString()));
        QCOMPARE(seen, events);
        QCOMPARE(bytes(assembler.buffered()).toHex(), remaining.toHex());
    }

    void bound_data()
    {
        QTest::addColumn<int>("held");
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<int>("discarded");
        QTest::addColumn<bool>("completes");
        const int max = int(FrameAssembler::MaxBuffered);
        QTest::newRow("fits exactly") << max - 10 << letters(10) << 0 << false;
        QTest::newRow("partly over") << max - 24 << letters(100) << 76 << false;
        QTest::newRow("chunk beyond the bound") << 500 << letters(2 * max) << 500 + max << false;
        QTest::newRow("completion tested after trimming") << max << letters(2000) + hex("031D") << 2002 << true;
    }
    void bound()
    {
        QFETCH(int, held);
        QFETCH(QByteArray, chunk);
        QFETCH(int, discarded);
        QFETCH(bool, completes);
        FrameAssembler assembler;
        const QByteArray before = letters(held).toUpper();
        assembler.feed(before.toStdString());
        const FrameAssembler::Result r = assembler.feed(chunk.toStdString());
        QCOMPARE(r.discarded, std::size_t(discarded));
        QCOMPARE(r.kind == FrameAssembler::Kind::Frame, completes);
        const QByteArray newest = (before + chunk).right(qsizetype(FrameAssembler::MaxBuffered));
        QCOMPARE(bytes(completes ? r.frame : assembler.buffered()), newest);
    }

    void megabyteWithoutEtxStaysBounded()
    {
        FrameAssembler assembler;
        const std::string chunk = letters(4096).toStdString();
        const std::size_t total = 1024 * 1024;
        std::size_t discarded = 0;
        for (std::size_t fed = 0; fed < total; fed += chunk.size()) {
            discarded += assembler.feed(chunk).discarded;
            QVERIFY(assembler.buffered().size() <= FrameAssembler::MaxBuffered);
        }
        QCOMPARE(discarded, total - FrameAssembler::MaxBuffered);
        const FrameAssembler::Result r = assembler.feed(hex("024C52031D").toStdString());
        QCOMPARE(int(r.kind), int(FrameAssembler::Kind::Frame));
        QVERIFY(bytes(r.frame).endsWith(hex("024C52031D")));
        QVERIFY(assembler.buffered().empty());
    }

    void ring_data()
    {
        QTest::addColumn<int>("start");
        QTest::newRow("from slot 0") << 0;
        QTest::newRow("wrapping from slot 48") << 48;
        QTest::newRow("from the last slot") << 50;
    }
    void ring()
    {
        QFETCH(int, start);
        ReceiveRing ring;
        ring.Ponteiro_Armazena = ring.Ponteiro_Apanha = start;
        QCOMPARE(bytes(ring.Apanha()), QByteArray());
        for (int i = 0; i < ReceiveRing::Slots - 1; ++i)
            QVERIFY(ring.Armazena(std::to_string(i)));
        QVERIFY2(!ring.Armazena("lost"), "a full ring must refuse rather than look empty");
        QCOMPARE(ring.size(), ReceiveRing::Slots - 1);
        QCOMPARE(bytes(ring.Apanha()), QByteArray("0"));
        QVERIFY(ring.Armazena("last"));
        for (int i = 1; i < ReceiveRing::Slots - 1; ++i)
            QCOMPARE(bytes(ring.Apanha()), QByteArray::number(i));
        QCOMPARE(bytes(ring.Apanha()), QByteArray("last"));
        QVERIFY(ring.empty());
        QCOMPARE(bytes(ring.Apanha()), QByteArray());
    }
};

QTEST_APPLESS_MAIN(TestReceiving)
#include "tst_receiving.moc"
