#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <string>

// Why a reply cannot be used. Such a frame is logged as received and reported, and nothing of
// it is shown as a value, stored as a reading, or handed to the alarms.
enum class ReplyProblem {
    WrongLength,      // its fields would be read in the wrong places
    Echo,             // the request came back: a peer repeating what it hears, not a controller
    BadTankNumber,    // not three digits naming a tank from 1 ("000", "-1", blanks)
    TankNotAsked,     // another tank than the one asked for, or beyond the configured tanks
    TankRepeated,     // a tank answered twice in one series
    ImpossibleClock,  // a time, date or day of the week that cannot be
    BadConfiguration, // counts of tanks or sensors, or the OFE number, that are not numbers
    TooManyRecords,   // more scheduled records than a controller keeps for a date
    NotAsked,         // a scheduled record that no request is waiting for
};

struct RejectedReply {
    QByteArray frame;
    ReplyProblem problem = ReplyProblem::WrongLength;
    int position = 0;  // its place among the replies of its request, from 0
};

// What a reply is checked against besides its own layout.
struct ReplyContext {
    QByteArray lastTransmitted;  // the last request frame written, for echoes
    QByteArray awaitingBody;     // the body of the request this reply would answer; empty: none
    int configuredTanks = 0;     // from the configuration reply; 0 while unknown
    QList<int> tanksAnswered;    // earlier replies of the same "MA" series
    int recordsReceived = 0;     // earlier records of the same "MP" series
};

std::optional<ReplyProblem> checkReply(const QByteArray &frame, const ReplyContext &context);

// The tank number of a measurement or scheduled reply: three digits, from 1.
std::optional<int> replyTankNumber(const QByteArray &frame);

// What a rejection's message quotes of its frame, raw as the controller sent it.
struct ExpectedLength {
    int shortest = 0;
    bool optionalTrailer = false;  // one byte more is as good
};
ExpectedLength expectedLength(const QByteArray &frame);  // only for a reply code with a layout
std::string replyCodeOf(const QByteArray &frame);
std::string tankField(const QByteArray &frame);  // of a measurement or scheduled reply
struct ClockFields {
    std::string time, date, day;  // time and date split as they are shown
};
ClockFields clockFields(const QByteArray &frame);

// For people, in Portuguese (session_text.cpp): what was wrong with this reply. Never quotes a configuration or
// clock-setting frame, which may carry the password.
QString rejectionText(const RejectedReply &rejected);
