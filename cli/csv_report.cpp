#include "cli/csv_report.h"

#include "cli/report_table.h"
#include "cli/report_values.h"
#include "export/csv_writer.h"
#include "session/kept_text.h"

#include <QStringList>

namespace {

struct CsvFieldText {
    // Text from the controller may hold anything: no control character reaches the terminal, no
    // formula the spreadsheet.
    QString operator()(const QString &text) const { return formulaGuarded(keptText(text)); }
    QString operator()(const std::optional<double> &value) const { return value ? numberText(*value) : QString(); }
    QString operator()(const std::optional<QDateTime> &time) const { return time ? isoDateTime(*time) : QString(); }
    QString operator()(const std::optional<QDate> &date) const { return date ? isoDate(*date) : QString(); }
    QString operator()(Flag flag) const { return flag.on ? QStringLiteral("true") : QStringLiteral("false"); }
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

QByteArray csvReport(const CommandReport &report)
{
    for (const ReportTable &table : reportTables(report)) {
        if (table.main)
            return csvTable(table);
    }
    return {};
}
