#include "export/csv_writer.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

namespace {

QString numberText(double value, QChar decimalMark)
{
    if (!std::isfinite(value))
        return {};
    // The shortest text that reads back as the same double, never with an exponent.
    QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text.replace(QLatin1Char('.'), decimalMark);
}

QString dateTimeText(const QDateTime &at, const std::optional<QTimeZone> &zone)
{
    if (!at.isValid())
        return {};
    const QDateTime shown = zone ? at.toTimeZone(*zone) : at.toLocalTime();
    return shown.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
}

QString fieldText(const CsvCell &cell, const CsvFormat &format)
{
    if (const auto *text = std::get_if<QString>(&cell))
        return formulaGuarded(*text);
    if (const auto *number = std::get_if<double>(&cell))
        return numberText(*number, format.decimalMark);
    if (const auto *at = std::get_if<QDateTime>(&cell))
        return dateTimeText(*at, format.zone);
    return {};
}

} // namespace

QString formulaGuarded(const QString &text)
{
    static const QString FormulaStarts = QStringLiteral("=+-@");
    if (!text.isEmpty() && FormulaStarts.contains(text.front()))
        return QLatin1Char('\'') + text;
    return text;
}

CsvCell dateTimeCell(std::optional<QDateTime> value)
{
    return value ? CsvCell(*value) : CsvCell();
}

QString quotedCsvField(const QString &field, QChar separator)
{
    if (!field.contains(separator) && !field.contains(QLatin1Char('"')) && !field.contains(QLatin1Char('\r'))
        && !field.contains(QLatin1Char('\n')))
        return field;
    QString escaped = field;
    escaped.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QByteArray csvFile(const QList<CsvRow> &rows, const CsvFormat &format)
{
    QString text;
    for (const CsvRow &row : rows) {
        QStringList fields;
        for (const CsvCell &cell : row)
            fields << quotedCsvField(fieldText(cell, format), format.separator);
        text += fields.join(format.separator) + QLatin1String("\r\n");
    }
    return (format.byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();
}
