#pragma once

#include "session/readings.h"
#include "session/reply_check.h"

#include <QList>
#include <QString>

#include <optional>

class SessionRequest;

// One tank's answer: its measurement, the error reply the controller gave in its place, or a reply
// that could not be used.
struct TankAnswer {
    std::optional<int> tank;  // from the request or the series, when the reply does not say
    std::optional<MeasurementReading> reading;
    std::optional<ErrorReply> error;
    std::optional<RejectedReply> rejected;
};

// The answers of an "MA" series in the order they came. The controller answers tanks 1, 2, ... one
// reply each, so an error reply or an unusable one stands for the tank of its place in the series.
QList<TankAnswer> seriesAnswers(const SessionRequest &series);

// For people: why the tank has no reading (the controller's error text, or what was wrong with its
// reply); empty when it has one.
QString noReadingText(const TankAnswer &answer);
QString unusableReplyText(const RejectedReply &rejected);

// What marks a total that leaves tanks out: "incompleto: tanque 3 sem leitura",
// "incompleto: tanques 3 e 5 sem leitura"; empty for none.
QString incompleteTotalText(const QList<int> &missingTanks);
