#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QDate>
#include <QList>
#include <QStringList>

#include <optional>

// Replies a misbehaving controller sends. Each fault applies to the replies of the request codes
// chosen for it (an error reply carries the code of its request), and only where the reply has
// what it spoils: a fault with nothing to spoil leaves the reply as it is.
enum class ReplyFault {
    None,
    Short,           // the body cut after its first fields: "LS" with no sensors, a product then ETX
    Long,            // one field far too long: the measured volume "9999999999999"
    LongProduct,     // the product name one byte too long
    OtherTank,       // measurement or scheduled record of the tank eight on (9 for 1)
    ZeroTank,        // tank "000"
    NegativeTank,    // tank "-01"
    RepeatedTank,    // "MA": the second reply for the first tank again
    ControlBytes,    // control bytes in the text and number fields, an OSC and a formula in products
    Echo,            // every request frame sent back, after its ACK, instead of a reply
    EndlessSeries,   // "MP": records with SOH for ever
    ClockTime,       // clock replies at 25:61:00
    ClockDate,       // on 31/02
    ClockZeroDate,   // on 00/00/00
    ClockWeekday00,  // day of the week 00
    ClockWeekday99,  // day of the week 99
};

// The names --reply-fault takes ("short", "wrong-tank:zero", ...), in the order they are listed.
QStringList replyFaultNames();
std::optional<ReplyFault> replyFaultNamed(const QString &name);

// The replies to one request as the fault spoils them; the faults that are about pacing (echo,
// endless series) are the session's and leave the bodies alone.
QList<QByteArray> spoiledReplies(ReplyFault fault, QList<QByteArray> bodies);

// Record `index` (from 0) of a scheduled series that never ends, for `date`.
QByteArray endlessRecord(const QDate &date, quint32 index);
