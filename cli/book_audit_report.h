#pragma once

#include "cli/report_table.h"
#include "store/closing_rows.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QTimeZone>

// What the audit's table shows of a reopening's lines: in text, what changed in the products'
// figures, read from them; in CSV, the lines themselves, as the JSON the audit keeps.
enum class AuditLines { Changes, Kept };

// A day's closings and reopenings, their times in the station's zone.
ReportTable auditTable(const QList<AuditRecord> &records, const QTimeZone &zone, AuditLines lines);

// One JSON object: `station`, `date` and `records`, each with its time in UTC and its lines as
// JSON arrays (null where none were kept).
QByteArray auditJson(const QString &station, QDate day, const QList<AuditRecord> &records);
