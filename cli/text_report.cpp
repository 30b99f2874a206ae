#include "cli/text_report.h"

#include "cli/report_table.h"
#include "cli/report_values.h"
#include "session/log_text.h"

#include <QStringList>

#include <algorithm>

namespace {

const QString Missing = QStringLiteral("-");

struct TextCell {
    QString (*number)(double);

    // Control characters from the controller shown by name, as in the frame log: none reaches the
    // terminal.
    QString operator()(const QString &text) const { return readableText(text); }
    QString operator()(const std::optional<double> &value) const { return value ? number(*value) : Missing; }
    QString operator()(const std::optional<QDateTime> &time) const
    {
        return time ? time->toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : Missing;
    }
    QString operator()(const std::optional<QDate> &date) const
    {
        return date ? date->toString(QStringLiteral("dd/MM/yyyy")) : Missing;
    }
    QString operator()(const std::optional<Flag> &flag) const
    {
        return !flag ? Missing : flag->on ? QStringLiteral("sim") : QStringLiteral("não");
    }
};

// Columns whose every cell is empty text say nothing (no tank answered with an error, say).
bool isEmptyColumn(const ReportTable &table, int column)
{
    for (const QList<Cell> &row : table.rows) {
        const QString *text = std::get_if<QString>(&row.at(column));
        if (!text || !text->isEmpty())
            return false;
    }
    return true;
}

QString tableText(const ReportTable &table, QString (*number)(double))
{
    QList<int> shown;
    for (int column = 0; column < table.columns.size(); ++column) {
        if (table.rows.isEmpty() || !isEmptyColumn(table, column))
            shown << column;
    }
    QList<QStringList> lines;
    QStringList header;
    for (const int column : shown)
        header << table.columns.at(column).header;
    lines << header;
    for (const QList<Cell> &row : table.rows) {
        QStringList cells;
        for (const int column : shown)
            cells << std::visit(TextCell{number}, row.at(column));
        lines << cells;
    }

    QList<qsizetype> widths(shown.size(), 0);
    for (const QStringList &cells : lines) {
        for (qsizetype i = 0; i < cells.size(); ++i)
            widths[i] = std::max(widths[i], cells.at(i).size());
    }
    QString text;
    if (!table.title.isEmpty())
        text += table.title + QLatin1Char('\n');
    for (const QStringList &cells : lines) {
        QString line;
        for (qsizetype i = 0; i < cells.size(); ++i) {
            const bool numeric = table.columns.at(shown.at(i)).numeric;
            if (i > 0)
                line += QLatin1String("  ");
            line += numeric ? cells.at(i).rightJustified(widths.at(i)) : cells.at(i).leftJustified(widths.at(i));
        }
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        text += line + QLatin1Char('\n');
    }
    return text;
}

} // namespace

QString tablesText(const QList<ReportTable> &tables, QString (*number)(double))
{
    QStringList texts;
    for (const ReportTable &table : tables)
        texts << tableText(table, number);
    return texts.join(QLatin1Char('\n'));
}

QByteArray textReport(const CommandReport &report)
{
    QString text = tablesText(reportTables(report));
    if (report.command == CliCommand::Scheduled && report.scheduled.isEmpty())
        text += errorReplyText(QStringLiteral("SL")) + QLatin1Char('\n');
    return text.toUtf8();
}
