#include "imports/csv_rows.h"

#include "codec/windows1252.h"

#include <QRegularExpression>
#include <QStringDecoder>

QList<CsvRow> csvRows(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = fromWindows1252(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QList<CsvRow> rows;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int number = 1; number <= lines.size(); ++number) {
        const QString line = lines.at(number - 1).trimmed();
        if (line.isEmpty())
            continue;
        if (rows.isEmpty() && number == 1 && line.at(0).isLetter())
            continue;
        CsvRow row{number, line.split(QLatin1Char(';'))};
        for (QString &field : row.fields)
            field = field.trimmed();
        rows << row;
    }
    return rows;
}

std::optional<double> brazilianNumber(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^-?(\\d{1,3}(\\.\\d{3})+|\\d+)(,\\d+)?$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    QString plain = text;
    plain.remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.'));
    return plain.toDouble();
}

std::optional<QDate> brazilianDate(const QString &text)
{
    const QDate date = QDate::fromString(text, QStringLiteral("d/M/yyyy"));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<int> positiveWhole(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^\\d{1,6}$"));
    if (!digits.match(text).hasMatch() || text.toInt() == 0)
        return std::nullopt;
    return text.toInt();
}
