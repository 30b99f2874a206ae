#pragma once

#include <QSqlError>
#include <QString>

// Why the history could not be written, in the operator's words, for the status line
// "Histórico indisponível: <reason>".
struct WriteFailure {
    QString reason;
    // The work itself cannot be written (a constraint the data breaks): retrying would fail the
    // same way, so it is dropped instead of holding up everything behind it.
    bool workAtFault = false;
};

WriteFailure writeFailure(const QSqlError &error);
