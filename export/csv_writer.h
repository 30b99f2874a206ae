#pragma once

#include <QByteArray>
#include <QChar>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTimeZone>

#include <optional>
#include <variant>

// A cell's type decides how it is written: text as it is (quoted when needed, guarded against
// formulas), a number with the format's decimal mark, a date and time in the format's zone,
// and an empty cell as nothing.
using CsvCell = std::variant<std::monostate, QString, double, QDateTime>;
using CsvRow = QList<CsvCell>;

// A date and time, or an empty cell when there is none.
CsvCell dateTimeCell(std::optional<QDateTime> value);

// The format of a spreadsheet set up for Brazil by default.
struct CsvFormat {
    QChar separator = QLatin1Char(';');
    QChar decimalMark = QLatin1Char(',');
    // Date-times are written in this zone as DD/MM/AAAA HH:MM:SS: the station's when known,
    // otherwise the PC's.
    std::optional<QTimeZone> zone;
    // The mark that makes a spreadsheet read the file as UTF-8 rather than as the PC's code page.
    bool byteOrderMark = true;
};

// Text that starts with '=', '+', '-' or '@' with a leading apostrophe, so that no spreadsheet
// runs it as a formula.
QString formulaGuarded(const QString &text);

// RFC 4180 quoting: a field holding the separator, a quote, CR or LF is quoted, its quotes doubled.
QString quotedCsvField(const QString &field, QChar separator);

// The rows as a CSV file in UTF-8: fields quoted as above, CRLF after every row, an empty row as
// an empty line. A text cell is guarded against formulas (formulaGuarded); numbers are written as
// they are, and one that is not finite as an empty cell.
QByteArray csvFile(const QList<CsvRow> &rows, const CsvFormat &format = {});
