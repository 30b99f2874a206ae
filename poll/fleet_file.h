#pragma once

#include "poll/polled_station.h"

#include <QByteArray>
#include <QString>

// A fleet file: one station per line, fields separated by ';' as spreadsheets save them:
//   description;host;port;time zone;password key
// Port (default 4001), time zone (IANA, default the PC's) and password key may be empty or left
// off. A first line whose first field is "descrição" (or "descricao") is a header; empty lines
// and lines starting with '#' are skipped. A field may be quoted ("a;b", "" for a quote). UTF-8,
// or Windows-1252 when the bytes are not UTF-8. No limit on the count of stations; of the problems,
// the first 20 are told and the rest counted ("… e mais 99.980 erros").
StationsLoad parseFleet(const QByteArray &bytes);

// The file at `path`, or a problem naming it.
StationsLoad readFleetFile(const QString &path);
