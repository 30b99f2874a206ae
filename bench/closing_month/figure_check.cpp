#include "closing_month/figure_check.h"

#include <QList>

#include <cmath>
#include <optional>

namespace {

constexpr int ShownDisagreements = 5;

QString key(qint64 station, QDate day, const QString &product)
{
    return QStringLiteral("%1|%2|%3").arg(station).arg(day.toString(Qt::ISODate), product);
}

QString unquoted(const QByteArray &field)
{
    QString text = QString::fromUtf8(field.trimmed());
    if (text.size() >= 2 && text.startsWith(QLatin1Char('"')) && text.endsWith(QLatin1Char('"')))
        text = text.mid(1, text.size() - 2);
    return text;
}

} // namespace

ToolBook parseToolBook(const QByteArray &rows)
{
    ToolBook book;
    for (const QByteArray &line : rows.split('\n')) {
        const QList<QByteArray> fields = line.split(',');
        if (fields.size() != 8)
            continue;
        book.insert(key(fields[0].toLongLong(), QDate::fromString(unquoted(fields[1]), Qt::ISODate), unquoted(fields[2])),
                    ToolFigures{fields[3].toDouble(), fields[4].toDouble(), fields[5].toDouble(), fields[6].toDouble(),
                                fields[7].toDouble()});
    }
    return book;
}

CheckResult compareBooks(const QMap<qint64, QList<MonthProduct>> &ours, const ToolBook &tool)
{
    CheckResult result;
    for (auto station = ours.cbegin(); station != ours.cend(); ++station)
        for (const MonthProduct &product : station.value())
            for (const MonthDay &day : product.days) {
                const QString where = key(station.key(), day.date, product.product);
                const ToolFigures theirs = tool.value(where, ToolFigures{NAN, NAN, NAN, NAN, NAN});
                const StockFigures &f = day.figures;
                const std::pair<const char *, std::pair<std::optional<double>, double>> pairs[] = {
                    {"opening", {f.opening, theirs.opening}},   {"receipts", {f.receipts, theirs.receipts}},
                    {"sales", {f.sales, theirs.sales}},         {"physical", {f.physical, theirs.physical}},
                    {"variance", {f.varianceLitres, theirs.variance}}};
                for (const auto &[name, values] : pairs) {
                    ++result.compared;
                    if (values.first && std::abs(*values.first - values.second) < 0.005)
                        ++result.agreed;
                    else if (result.disagreements.size() < ShownDisagreements)
                        result.disagreements << QStringLiteral("%1 %2: book %3, tool %4")
                                                    .arg(where, QLatin1String(name),
                                                         values.first ? QString::number(*values.first, 'f', 2) : QStringLiteral("-"),
                                                         QString::number(values.second, 'f', 2));
                }
            }
    return result;
}
