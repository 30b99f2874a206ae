#include "bytes.h"
#include "protocol/bcc.h"
#include "protocol/control_codes.h"
#include "protocol/frame_assembler.h"
#include "protocol/received_frame_ring.h"

#include <QtTest>

using namespace zelta;
using Kind = FrameAssembler::Event::Kind;

namespace {

const QByteArray ReadClock = hex("024C52031D");
const QByteArray Identification = hex("0249443031030F");

// "ACK", "NAK", "D:<count>", and a frame as "F:<hex>", or "BAD:<hex>" when its check byte is wrong.
QStringList describe(const std::vector<FrameAssembler::Event> &events)
{
    QStringList seen;
    for (const FrameAssembler::Event &e : events) {
        switch (e.kind) {
        case Kind::Ack: seen << "ACK"; break;
        case Kind::Nak: seen << "NAK"; break;
        case Kind::Discarded: seen << "D:" + QString::number(e.discarded); break;
        case Kind::Frame:
            seen << (e.checkByteMatches ? "F:" : "BAD:") + QString::fromLatin1(bytes(e.frame).toHex().toUpper());
            break;
        }
    }
    return seen;
}

QString frameSeen(const QByteArray &frame)
{
    return "F:" + QString::fromLatin1(frame.toHex().toUpper());
}

// Every event of the reads, flush included.
QStringList eventsOf(const QByteArrayList &reads)
{
    FrameAssembler assembler;
    QStringList seen;
    for (const QByteArray &read : reads)
        seen << describe(assembler.feed(read.toStdString()));
    return seen << describe(assembler.flush());
}

QByteArrayList oneBytePerRead(const QByteArray &stream)
{
    QByteArrayList reads;
    for (const char byte : stream)
        reads << QByteArray(1, byte);
    return reads;
}

QByteArray letters(int size)
{
    QByteArray text;
    for (int i = 0; i < size; ++i)
        text += char('A' + i % 26);
    return text;
}

// STX, body, ETX and the right check byte.
QByteArray framed(const QByteArray &body)
{
    const QByteArray covered = body + ETX;
    return STX + covered + char(blockCheckCharacter(covered.toStdString()));
}

// A two-byte body whose frame has `check` as its check byte, free of the bytes that steer the link.
QByteArray bodyChecking(unsigned char check)
{
    const auto steers = [](char c) { return c == STX || c == ETX || c == ACK || c == NAK; };
    for (char first = 'A';; ++first) {
        const char second = char(check ^ static_cast<unsigned char>(first) ^ ETX);
        if (!steers(second))
            return QByteArray(1, first) + second;
    }
}

} // namespace

class TestReceiving : public QObject {
    Q_OBJECT

    // The row's reads give its events and leave its frame in progress; so do the same bytes fed
    // whole and one byte per read.
    void expectEvents()
    {
        QFETCH(QByteArrayList, reads);
        QFETCH(QStringList, events);
        QFETCH(QByteArray, remaining);

        FrameAssembler assembler;
        QStringList seen;
        for (const QByteArray &read : reads) {
            seen << describe(assembler.feed(read.toStdString()));
            QVERIFY(assembler.buffered().size() <= FrameAssembler::MaxBuffered);
        }
        seen << describe(assembler.flush());
        QCOMPARE(seen, events);
        QCOMPARE(bytes(assembler.buffered()).toHex(), remaining.toHex());

        const QByteArray stream = reads.join();
        QCOMPARE(eventsOf({stream}), events);
        QCOMPARE(eventsOf(oneBytePerRead(stream)), events);
    }

    void addEventColumns()
    {
        QTest::addColumn<QByteArrayList>("reads");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QByteArray>("remaining");
    }

private slots:
    void events_data()
    {
        addEventColumns();
        const QString lr = frameSeen(ReadClock);
        const QString id = frameSeen(Identification);
        const QByteArray ack(1, ACK);
        const QByteArray nak(1, NAK);

        QTest::newRow("reply whole") << QByteArrayList{ReadClock} << QStringList{lr} << QByteArray();
        QTest::newRow("reply in three reads")
            << QByteArrayList{hex("02"), hex("4C52"), hex("031D")} << QStringList{lr} << QByteArray();
        QTest::newRow("ending on ETX waits for the check byte")
            << QByteArrayList{hex("024C5203")} << QStringList{} << hex("024C5203");
        QTest::newRow("an empty read changes nothing")
            << QByteArrayList{hex("024C"), QByteArray(), hex("52031D")} << QStringList{lr} << QByteArray();
        QTest::newRow("wrong check byte") << QByteArrayList{hex("024C52031E")} << QStringList{"BAD:024C52031E"}
                                          << QByteArray();

        QTest::newRow("ACK and reply in one read") << QByteArrayList{ack + ReadClock} << QStringList{"ACK", lr}
                                                   << QByteArray();
        QTest::newRow("ACK after a reply, one read") << QByteArrayList{ReadClock + ack} << QStringList{lr, "ACK"}
                                                     << QByteArray();
        QTest::newRow("ACK inside a reply") << QByteArrayList{hex("024C") + ack + hex("52031D")}
                                            << QStringList{"ACK", lr} << QByteArray();
        QTest::newRow("NAK inside a reply, in its own read") << QByteArrayList{hex("0249"), nak, hex("443031030F")}
                                                    << QStringList{"NAK", id} << QByteArray();
        QTest::newRow("two replies back to back") << QByteArrayList{ReadClock + Identification}
                                                  << QStringList{lr, id} << QByteArray();
        QTest::newRow("series with ACKs in one read")
            << QByteArrayList{ack + ReadClock + ReadClock + ack + Identification + nak + hex("024C")}
            << QStringList{"ACK", lr, lr, "ACK", id, "NAK"} << hex("024C");

        QTest::newRow("garbage before a frame, one run") << QByteArrayList{hex("4142"), hex("FFF1") + ReadClock}
                                                         << QStringList{"D:4", lr} << QByteArray();
        QTest::newRow("garbage ended by an ACK") << QByteArrayList{hex("7F7F06")} << QStringList{"D:2", "ACK"}
                                                 << QByteArray();
        QTest::newRow("garbage between two frames")
            << QByteArrayList{ReadClock + hex("0D0A") + Identification} << QStringList{lr, "D:2", id}
            << QByteArray();
        QTest::newRow("lone ETX is dropped") << QByteArrayList{hex("03")} << QStringList{"D:1"} << QByteArray();
        QTest::newRow("garbage at the end is reported by flush")
            << QByteArrayList{ReadClock + hex("41")} << QStringList{lr, "D:1"} << QByteArray();
        QTest::newRow("frame in progress kept by flush") << QByteArrayList{hex("41024C")} << QStringList{"D:1"}
                                                         << hex("024C");

        QTest::newRow("second STX restarts the frame") << QByteArrayList{hex("024C52") + ReadClock}
                                                       << QStringList{"D:3", lr} << QByteArray();
        QTest::newRow("restart in a later read") << QByteArrayList{hex("0249"), hex("4402"), hex("4C52031D")}
                                                 << QStringList{"D:3", lr} << QByteArray();
        QTest::newRow("STX as check byte does not restart")
            << QByteArrayList{hex("024103"), hex("02") + ReadClock} << QStringList{"BAD:02410302", lr}
            << QByteArray();
    }
    void events() { expectEvents(); }

    void checkByteOfEveryValue_data()
    {
        addEventColumns();
        for (int value = 0; value < 256; ++value) {
            const QByteArray frame = framed(bodyChecking(static_cast<unsigned char>(value)));
            const QByteArray head = frame.chopped(1);
            const QByteArray check = frame.right(1);
            QCOMPARE(check.front(), char(value));
            const QString seen = frameSeen(frame);
            QTest::addRow("0x%02x alone in its read", value)
                << QByteArrayList{head, check, QByteArray(1, ACK)} << QStringList{seen, "ACK"} << QByteArray();
            QTest::addRow("0x%02x with the next ACK", value)
                << QByteArrayList{head, check + ACK} << QStringList{seen, "ACK"} << QByteArray();
            QTest::addRow("0x%02x with the next frame", value)
                << QByteArrayList{head, check + ReadClock} << QStringList{seen, frameSeen(ReadClock)} << QByteArray();
        }
    }
    void checkByteOfEveryValue() { expectEvents(); }

    void bound_data()
    {
        addEventColumns();
        const int max = int(FrameAssembler::MaxBuffered);
        const QString lr = frameSeen(ReadClock);
        const QByteArray largest = framed(letters(max - 3));
        const QByteArray ack(1, ACK);

        QTest::newRow("frame of exactly the bound") << QByteArrayList{largest} << QStringList{frameSeen(largest)}
                                                    << QByteArray();
        QTest::newRow("check byte one past the bound")
            << QByteArrayList{framed(letters(max - 2)) + "ZZ" + ReadClock}
            << QStringList{"D:" + QString::number(max + 3), lr} << QByteArray();
        QTest::newRow("long body, dropped up to the next ACK")
            << QByteArrayList{STX + letters(700), letters(1300), letters(10) + ack + ReadClock}
            << QStringList{"D:2011", "ACK", lr} << QByteArray();
        QTest::newRow("STX at the bound restarts") << QByteArrayList{STX + letters(max - 1) + ReadClock}
                                                   << QStringList{"D:" + QString::number(max), lr} << QByteArray();
        QTest::newRow("ACK inside a full frame is no overflow")
            << QByteArrayList{largest.chopped(2) + ack + largest.right(2)} << QStringList{"ACK", frameSeen(largest)}
            << QByteArray();
        QTest::newRow("run past the bound reported by flush") << QByteArrayList{STX + letters(1100)}
                                                             << QStringList{"D:1101"} << QByteArray();
    }
    void bound() { expectEvents(); }

    void megabyteWithoutEtxStaysBounded()
    {
        FrameAssembler assembler;
        const std::string read = letters(4096).toStdString();
        const std::size_t total = 1024 * 1024;
        QVERIFY(assembler.feed(std::string(1, STX)).empty());
        for (std::size_t fed = 0; fed < total; fed += read.size()) {
            QVERIFY(assembler.feed(read).empty());
            QVERIFY(assembler.buffered().size() <= FrameAssembler::MaxBuffered);
        }
        QCOMPARE(describe(assembler.feed(ReadClock.toStdString())),
                 QStringList({"D:" + QString::number(total + 1), frameSeen(ReadClock)}));
    }

    void flushThenMoreBytes_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("flushed");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("nothing open") << ReadClock << QStringList{} << hex("06") << QStringList{"ACK"};
        QTest::newRow("run reported once, a new one begins")
            << hex("4142") << QStringList{"D:2"} << hex("4302") << QStringList{"D:1"};
        QTest::newRow("frame in progress goes on") << hex("024C") << QStringList{} << hex("52031D")
                                                   << QStringList{frameSeen(ReadClock)};
        QTest::newRow("awaiting the check byte") << hex("024C5203") << QStringList{} << hex("1D")
                                                 << QStringList{frameSeen(ReadClock)};
        QTest::newRow("overflow run") << STX + letters(1030) << QStringList{"D:1031"} << hex("4106")
                                      << QStringList{"D:1", "ACK"};
    }
    void flushThenMoreBytes()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, flushed);
        QFETCH(QByteArray, after);
        QFETCH(QStringList, events);
        FrameAssembler assembler;
        assembler.feed(before.toStdString());
        QCOMPARE(describe(assembler.flush()), flushed);
        QCOMPARE(describe(assembler.flush()), QStringList());
        QStringList seen = describe(assembler.feed(after.toStdString()));
        QCOMPARE(seen << describe(assembler.flush()), events);
    }

    void clearForgets_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("open run") << hex("4142") << ReadClock << QStringList{frameSeen(ReadClock)};
        QTest::newRow("frame in progress") << hex("024C") << hex("52031D") << QStringList{"D:3"};
        QTest::newRow("awaiting the check byte") << hex("024C5203") << hex("06") << QStringList{"ACK"};
        QTest::newRow("overflow run") << STX + letters(1030) << hex("4106") << QStringList{"D:1", "ACK"};
    }
    void clearForgets()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(QStringList, events);
        FrameAssembler assembler;
        assembler.feed(before.toStdString());
        assembler.clear();
        QVERIFY(assembler.buffered().empty());
        QStringList seen = describe(assembler.feed(after.toStdString()));
        QCOMPARE(seen << describe(assembler.flush()), events);
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
        ReceivedFrameRing ring;
        // Frames passed through bring both slot numbers to the start slot.
        for (int i = 0; i < start; ++i) {
            QVERIFY(ring.push("passed"));
            QCOMPARE(bytes(ring.take()), QByteArray("passed"));
        }
        QCOMPARE(bytes(ring.take()), QByteArray());
        for (int i = 0; i < ReceivedFrameRing::Capacity; ++i)
            QVERIFY(ring.push(std::to_string(i)));
        QVERIFY2(!ring.push("lost"), "a full ring must refuse rather than look empty");
        QVERIFY(ring.full());
        QCOMPARE(ring.size(), ReceivedFrameRing::Slots - 1);
        QCOMPARE(bytes(ring.take()), QByteArray("0"));
        QVERIFY(ring.push("last"));
        for (int i = 1; i < ReceivedFrameRing::Capacity; ++i)
            QCOMPARE(bytes(ring.take()), QByteArray::number(i));
        QCOMPARE(bytes(ring.take()), QByteArray("last"));
        QVERIFY(ring.empty());
        QCOMPARE(bytes(ring.take()), QByteArray());
    }
};

QTEST_APPLESS_MAIN(TestReceiving)
#include "tst_receiving.moc"
