#include "cli/book_audit_report.h"

#include "cli/report_values.h"
#include "closing/closing_texts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include <optional>

namespace {

// The figures a reopening can change; the others (available, book stock, variance) follow from
// them.
const QList<std::pair<QString, QString>> ChangedFigures{
    {QStringLiteral("opening"), QStringLiteral("abertura")},
    {QStringLiteral("receipts"), QStringLiteral("recebimentos")},
    {QStringLiteral("sales"), QStringLiteral("vendas")},
    {QStringLiteral("physical_stock"), QStringLiteral("físico")},
};

QJsonValue linesValue(const QString &lines)
{
    return lines.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(QJsonDocument::fromJson(lines.toUtf8()).array());
}

QMap<QString, QJsonObject> productLines(const QString &lines)
{
    QMap<QString, QJsonObject> products;
    for (const QJsonValue &line : QJsonDocument::fromJson(lines.toUtf8()).array())
        if (line.toObject().value(QStringLiteral("kind")) == QLatin1String("product"))
            products.insert(line.toObject().value(QStringLiteral("product")).toString(), line.toObject());
    return products;
}

std::optional<double> litres(const QJsonObject &line, const QString &key)
{
    const QJsonValue value = line.value(key);
    return value.isDouble() ? std::optional<double>(value.toDouble()) : std::nullopt;
}

QString litresText(const std::optional<double> &value)
{
    return value ? brazilianNumberText(*value) : QStringLiteral("-");
}

// "GASOLINA C: físico 21.970 → 21.930 L" for each product whose figures differ between the lines
// of a day as it was closed and as it was closed again; empty without both.
QString auditChangesText(const QString &linesBefore, const QString &linesAfter)
{
    if (linesBefore.isEmpty() || linesAfter.isEmpty())
        return {};
    const QMap<QString, QJsonObject> before = productLines(linesBefore);
    const QMap<QString, QJsonObject> after = productLines(linesAfter);
    QStringList products = before.keys() + after.keys();
    products.sort();
    products.removeDuplicates();
    QStringList changes;
    for (const QString &product : products) {
        QStringList figures;
        for (const auto &[key, name] : ChangedFigures) {
            const std::optional<double> was = litres(before.value(product), key);
            const std::optional<double> is = litres(after.value(product), key);
            if (was != is)
                figures << QStringLiteral("%1 %2 → %3 L").arg(name, litresText(was), litresText(is));
        }
        if (!figures.isEmpty())
            changes << QStringLiteral("%1: %2").arg(product, figures.join(QStringLiteral(", ")));
    }
    return changes.isEmpty() ? QStringLiteral("sem mudança nos números") : changes.join(QStringLiteral("; "));
}

} // namespace

ReportTable auditTable(const QList<AuditRecord> &records, const QTimeZone &zone, AuditLines lines)
{
    ReportTable table{{},
                      {{QStringLiteral("at"), QStringLiteral("Quando"), false},
                       {QStringLiteral("action"), QStringLiteral("Ação"), false},
                       {QStringLiteral("user"), QStringLiteral("Usuário"), false},
                       {QStringLiteral("machine"), QStringLiteral("Máquina"), false},
                       {QStringLiteral("reason"), QStringLiteral("Motivo"), false}},
                      {},
                      true};
    if (lines == AuditLines::Changes)
        table.columns << ReportColumn{QStringLiteral("changes"), QStringLiteral("Mudanças"), false};
    else
        table.columns << ReportColumn{QStringLiteral("lines_before"), QStringLiteral("Antes"), false}
                      << ReportColumn{QStringLiteral("lines_after"), QStringLiteral("Depois"), false};
    for (const AuditRecord &record : records) {
        QList<Cell> row{std::optional<QDateTime>(record.at.toTimeZone(zone)), auditActionText(record.action),
                        record.author.userName, record.author.machine, record.reason};
        if (lines == AuditLines::Changes)
            row << auditChangesText(record.linesBefore, record.linesAfter);
        else
            row << record.linesBefore << record.linesAfter;
        table.rows << row;
    }
    return table;
}

QByteArray auditJson(const QString &station, QDate day, const QList<AuditRecord> &records)
{
    QJsonArray array;
    for (const AuditRecord &record : records)
        array.append(QJsonObject{
            {QStringLiteral("at"), record.at.toUTC().toString(Qt::ISODate)},
            {QStringLiteral("action"), record.action},
            {QStringLiteral("user"), record.author.userName},
            {QStringLiteral("machine"), record.author.machine},
            {QStringLiteral("reason"), record.reason.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(record.reason)},
            {QStringLiteral("lines_before"), linesValue(record.linesBefore)},
            {QStringLiteral("lines_after"), linesValue(record.linesAfter)},
        });
    const QJsonObject object{{QStringLiteral("station"), station},
                             {QStringLiteral("date"), day.toString(Qt::ISODate)},
                             {QStringLiteral("records"), array}};
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}
