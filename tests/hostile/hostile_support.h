#pragma once

#include "simulator/controller_simulator.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <utility>

class FileInspector;

// The station every hostile controller of these tests plays: OFE 4300, password HostilePassword,
// GASOLINA in tank 1 (18,250 of 30,000 L) and DIESEL in tank 2 (22,400 of 30,000 L), tank 5 not
// configured (its measurement answers "NH"), four sensors on active bars, two measurements scheduled on
// 01/03/2024 (ScheduledDate).
extern const QString HostilePassword;
extern const QString ScheduledDate;

// The products of --reply-fault control-bytes as the history must keep them. Tank 1's is sent as
// GAS, NUL, ESC, LF and an OSC sequence (ESC ] 0 ; BEL); tank 2's is a formula cut to the field.
extern const QString KeptControlProduct;
extern const QString KeptFormulaProduct;

// That station on its own loopback address, playing `fault` on the replies to `codes` (every code
// when empty); nothing when the address is taken.
std::unique_ptr<ControllerSimulator> startHostile(const QString &address, ReplyFault fault, const QString &codes);

// The reading tables, in the order the rows' expected counts give them.
const QStringList &readingTables();

// Rows of each reading table, in readingTables() order.
QList<int> keptReadings(const FileInspector &history);

// What every run must keep to, whatever the controller sent: neither the password nor a raw
// control byte (line ends and tabs aside) in what the program showed (`shown`: each text by the
// name of where it went); the password in no text of the history, and no control byte in the
// texts of its readings and stations; an OFE number of digits only; no measurement of a tank the
// station lacks, nor two of one tank. Empty when kept; otherwise what broke.
QString brokenRuleOf(const QList<std::pair<QString, QString>> &shown, const FileInspector &history);
