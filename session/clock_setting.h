#pragma once

#include <QByteArray>
#include <QDateTime>

// The body of "AR": the password, then the day of the week, time and date of `now`, all from one
// reading of the clock, so that a second turning over between fields cannot send a time that
// never was.
QByteArray clockSettingRequest(const QByteArray &password, const QDateTime &now);
