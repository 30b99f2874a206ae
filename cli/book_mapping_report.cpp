#include "cli/book_mapping_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

ReportTable productMappingTable(const QMap<QString, QString> &mapping)
{
    ReportTable table{{},
                      {{QStringLiteral("supplier_product"), QStringLiteral("Nome na nota"), false},
                       {QStringLiteral("product"), QStringLiteral("Produto"), false}},
                      {},
                      true};
    for (auto entry = mapping.cbegin(); entry != mapping.cend(); ++entry)
        table.rows << QList<Cell>{entry.key(), entry.value()};
    return table;
}

QByteArray productMappingJson(const QString &station, const QMap<QString, QString> &mapping)
{
    QJsonArray pairs;
    for (auto entry = mapping.cbegin(); entry != mapping.cend(); ++entry)
        pairs.append(QJsonObject{{QStringLiteral("supplier_product"), entry.key()}, {QStringLiteral("product"), entry.value()}});
    const QJsonObject object{{QStringLiteral("station"), station}, {QStringLiteral("mapping"), pairs}};
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}
