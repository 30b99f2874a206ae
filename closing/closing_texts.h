#pragma once

#include "closing/closing_book.h"
#include "closing/day_figures.h"

#include <QString>
#include <QTimeZone>

// The closing's words for people, all in one place. Times are shown in the station's zone.
QString closingProblemText(const ClosingProblem &problem, const QTimeZone &zone);

// Why `day` was not closed or reopened; an engine's refusal in its own words.
QString closeRefusalText(const CloseRefusal &refusal, QDate day, const QTimeZone &zone);
// Why a day's input was left as it was; each program adds what the operator does about it.
QString inputRefusalText(const InputRefusal &refusal);
QString closedDayText(QDate day);
// Why an invoice read whole did not enter the book, without what each program offers to do about it.
QString entryProblemText(const EntryProblem &problem);
// A line of a day's audit: "fechamento" or "reabertura".
QString auditActionText(const QString &action);
