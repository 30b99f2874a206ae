#include "csv_reader.h"

std::optional<QList<QStringList>> readCsv(const QByteArray &utf8, QChar separator)
{
    const QString text = QString::fromUtf8(utf8);
    QList<QStringList> records;
    QStringList record;
    QString field;
    qsizetype i = 0;
    while (i < text.size()) {
        if (text.at(i) == QLatin1Char('"')) {
            if (!field.isEmpty())
                return std::nullopt;  // a quote inside an unquoted field
            for (++i;; ++i) {
                if (i >= text.size())
                    return std::nullopt;  // the quoted field never ends
                if (text.at(i) != QLatin1Char('"')) {
                    field += text.at(i);
                } else if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                    field += QLatin1Char('"');
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
            if (i < text.size() && text.at(i) != separator && text.at(i) != QLatin1Char('\r'))
                return std::nullopt;
            continue;
        }
        if (text.at(i) == separator) {
            record << field;
            field.clear();
            ++i;
        } else if (text.at(i) == QLatin1Char('\r')) {
            if (i + 1 >= text.size() || text.at(i + 1) != QLatin1Char('\n'))
                return std::nullopt;
            record << field;
            records << record;
            record.clear();
            field.clear();
            i += 2;
        } else if (text.at(i) == QLatin1Char('\n')) {
            return std::nullopt;  // a bare LF ends no record
        } else {
            field += text.at(i);
            ++i;
        }
    }
    if (!field.isEmpty() || !record.isEmpty())
        return std::nullopt;  // the last record must end with CRLF too
    return records;
}
