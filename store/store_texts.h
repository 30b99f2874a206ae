#pragma once

#include "store/database_location.h"
#include "store/write_failure.h"
#include "store/write_job.h"

#include <QString>

// The store's words for people, all made in store_texts.cpp (historyOpenProblemText, whose
// declaration is beside its problem, too).

// "endereço do banco inválido: ...", for the programs' --database.
QString databaseUrlProblemText(const DatabaseUrlProblem &problem);
// Why the history could not be written or read, for "Histórico indisponível: <reason>".
QString writeFailureText(const WriteFailure &failure);
// A controller that closed a kept session, in the history's events.
QString controllerClosedText();

QString unwrittenOnCloseText(const DroppedCounts &lost, const QString &reason);
QString jobDroppedText(const QString &reason);
QString writeRetryText(const QString &reason, int retryMs);
QString migrationAppliedText(int version);
QString lockServerUnavailableText(const QString &reason, int retryMs);
QString claimRefusedText(const QString &controller);

// Event details, stored as they read.
QString keptApartText(const QString &ofe, const QString &heldBy, const QString &host);
QString droppedWhileUnwritableText(const DroppedCounts &dropped);
// What a reply with a wrong check byte said, kept instead of its row.
QString badSensorsText(const QString &states);
QString badClockText(const QString &command, const QString &date, const QString &time);
