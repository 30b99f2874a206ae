#include "cli/csv_report.h"

#include "cli/report_table.h"
#include "cli/report_values.h"

#include <QStringList>

namespace {

QString quoted(const QString &field)
{
    if (!field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('"')) && !field.contains(QLatin1Char('\r'))
        && !field.contains(QLatin1Char('\n')))
        return field;
    QString escaped = field;
    escaped.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

struct CsvCell {
    QString operator()(const QString &text) const { return text; }
    QString operator()(const std::optional<double> &value) const { return value ? numberText(*value) : QString(); }
    QString operator()(const std::optional<QDateTime> &time) const { return time ? isoDateTime(*time) : QString(); }
    QString operator()(const std::optional<QDate> &date) const { return date ? isoDate(*date) : QString(); }
    QString operator()(Flag flag) const { return flag.on ? QStringLiteral("true") : QStringLiteral("false"); }
};

QString line(const QStringList &fields)
{
    QStringList quotedFields;
    for (const QString &field : fields)
        quotedFields << quoted(field);
    return quotedFields.join(QLatin1Char(',')) + QLatin1String("\r\n");
}

} // namespace

QByteArray csvReport(const CommandReport &report)
{
    for (const ReportTable &table : reportTables(report)) {
        if (!table.main)
            continue;
        QStringList header;
        for (const ReportColumn &column : table.columns)
            header << column.key;
        QString csv = line(header);
        for (const QList<Cell> &row : table.rows) {
            QStringList fields;
            for (const Cell &cell : row)
                fields << std::visit(CsvCell{}, cell);
            csv += line(fields);
        }
        return csv.toUtf8();
    }
    return {};
}
