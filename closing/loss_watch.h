#pragma once

#include "alarms/alarm_config.h"
#include "base/result.h"
#include "closing/closing_book.h"

#include <QList>
#include <QSqlError>
#include <QString>

// A product's cumulative_loss alarm, turned on or off.
struct LossAlarmTurn {
    QString product;
    bool raised = false;
    QString detail;  // as the event keeps it
};

// The cumulative_loss alarm of each product, decided over the month of the station's latest
// closed day from its closed days only: what the book keeps, not what may still change. Called
// after a day is closed or reopened; an older month reopened leaves the alarm to the current one.
// Each turn is kept in alarm_state and as an event "cumulative_loss_raised" or "_cleared", so the
// history window shows it beside the readings' alarms.
Result<QList<LossAlarmTurn>, QSqlError> watchCumulativeLoss(ClosingBook &book, const LevelLimits &limits);
