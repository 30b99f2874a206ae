#include "cli/csv_report.h"

#include "cli/report_table.h"
#include "cli/report_values.h"
#include "export/csv_writer.h"
#include "session/kept_text.h"

#include <QStringList>

#include <cmath>

namespace {

struct CsvFieldText {
    // Text from the controller may hold anything: no control character reaches the terminal, no
    // formula the spreadsheet.
    QString operator()(const QString &text) const { return formulaGuarded(keptText(text)); }
    QString operator()(const std::optional<double> &value) const { return value ? numberText(*value) : QString(); }
    QString operator()(const std::optional<QDateTime> &time) const { return time ? isoDateTime(*time) : QString(); }
    QString operator()(const std::optional<QDate> &date) const { return date ? isoDate(*date) : QString(); }
    QString operator()(const std::optional<Flag> &flag) const
    {
        return !flag ? QString() : flag->on ? QStringLiteral("true") : QStringLiteral("false");
    }
};

// A cell as the console's exports write it: the writer adds the decimal comma, the station's
// time and the guard against formulas.
struct BrazilianCsvCell {
    CsvCell operator()(const QString &text) const { return keptText(text); }
    CsvCell operator()(const std::optional<double> &value) const
    {
        // Six decimals, as in text: a difference of totalisers carries binary noise beyond them.
        return value ? CsvCell(std::round(*value * 1e6) / 1e6) : CsvCell();
    }
    CsvCell operator()(const std::optional<QDateTime> &time) const { return dateTimeCell(time); }
    CsvCell operator()(const std::optional<QDate> &date) const
    {
        return date ? CsvCell(date->toString(QStringLiteral("dd/MM/yyyy"))) : CsvCell();
    }
    CsvCell operator()(const std::optional<Flag> &flag) const
    {
        return !flag ? CsvCell() : CsvCell(flag->on ? QStringLiteral("sim") : QStringLiteral("não"));
    }
};

QString line(const QStringList &fields)
{
    QStringList quotedFields;
    for (const QString &field : fields)
        quotedFields << quotedCsvField(field, QLatin1Char(','));
    return quotedFields.join(QLatin1Char(',')) + QLatin1String("\r\n");
}

} // namespace

QByteArray csvTable(const ReportTable &table)
{
    QStringList header;
    for (const ReportColumn &column : table.columns)
        header << column.key;
    QString csv = line(header);
    for (const QList<Cell> &row : table.rows) {
        QStringList fields;
        for (const Cell &cell : row)
            fields << std::visit(CsvFieldText{}, cell);
        csv += line(fields);
    }
    return csv.toUtf8();
}

QByteArray brazilianCsv(const QList<ReportTable> &tables, const QTimeZone &zone)
{
    QList<CsvRow> rows;
    for (const ReportTable &table : tables) {
        if (!table.main)
            continue;
        if (rows.isEmpty()) {
            CsvRow header;
            for (const ReportColumn &column : table.columns)
                header << column.key;
            rows << header;
        }
        for (const QList<Cell> &row : table.rows) {
            CsvRow fields;
            for (const Cell &cell : row)
                fields << std::visit(BrazilianCsvCell{}, cell);
            rows << fields;
        }
    }
    CsvFormat format;
    format.zone = zone;
    format.byteOrderMark = false;
    return csvFile(rows, format);
}

QByteArray csvReport(const CommandReport &report)
{
    for (const ReportTable &table : reportTables(report)) {
        if (table.main)
            return csvTable(table);
    }
    return {};
}
