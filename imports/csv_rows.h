#pragma once

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QStringList>

#include <optional>

// The CSV that a point-of-sale system or a spreadsheet exports for the daily book: fields split
// by ';', an optional header line, UTF-8 or else Windows-1252, dates DD/MM/AAAA and numbers with
// the decimal comma ("1.000,00").

struct CsvRow {
    int line = 0;  // in the file, from 1
    QStringList fields;  // trimmed
};

// The data rows: blank lines left out, and the first line too when it is a header (it starts
// with a letter, where every data row starts with a number or a date).
QList<CsvRow> csvRows(const QByteArray &bytes);

// "1.000,50", "1000,5", "1000", "-3,2": nothing for anything else ("1,000.50", "1.00", "").
std::optional<double> brazilianNumber(const QString &text);

// "10/03/2026", "1/3/2026".
std::optional<QDate> brazilianDate(const QString &text);

// A whole number above zero: a nozzle, a tank, a pump.
std::optional<int> positiveWhole(const QString &text);
