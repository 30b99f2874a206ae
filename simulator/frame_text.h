#pragma once

#include <QByteArray>
#include <QString>

// A frame as one readable line: control codes by name (<STX>, <ETX>, <SOH>, <CR>, <ACK>, <NAK>),
// other bytes outside printable ASCII as <xx> in hex. The check byte is always shown in hex,
// since it can be any byte.
QString frameText(const QByteArray &frame);
