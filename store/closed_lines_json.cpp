#include "store/closed_lines_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonValue json(const std::optional<double> &value)
{
    return value ? QJsonValue(*value) : QJsonValue();
}

QJsonValue json(const std::optional<int> &value)
{
    return value ? QJsonValue(*value) : QJsonValue();
}

} // namespace

const char *closedLineKindText(ClosedLine::Kind kind)
{
    switch (kind) {
    case ClosedLine::Product:
        return "product";
    case ClosedLine::Tank:
        return "tank";
    case ClosedLine::Nozzle:
        return "nozzle";
    }
    return "product";
}

QString closedLinesJson(const QList<ClosedLine> &lines)
{
    QJsonArray array;
    for (const ClosedLine &line : lines) {
        array.append(QJsonObject{
            {QStringLiteral("kind"), QLatin1String(closedLineKindText(line.kind))},
            {QStringLiteral("subject"), line.subject},
            {QStringLiteral("product"), line.product},
            {QStringLiteral("tank"), json(line.tank)},
            {QStringLiteral("pump"), json(line.pump)},
            {QStringLiteral("opening"), json(line.opening)},
            {QStringLiteral("receipts"), json(line.receipts)},
            {QStringLiteral("available"), json(line.available)},
            {QStringLiteral("sales"), json(line.sales)},
            {QStringLiteral("book_stock"), json(line.bookStock)},
            {QStringLiteral("physical_stock"), json(line.physicalStock)},
            {QStringLiteral("variance_litres"), json(line.varianceLitres)},
            {QStringLiteral("variance_percent"), json(line.variancePercent)},
            {QStringLiteral("beyond_tolerance"), line.beyondTolerance},
            {QStringLiteral("closing_reading"), json(line.closingReading)},
            {QStringLiteral("calibration"), json(line.calibration)},
            {QStringLiteral("justification"), line.justification},
        });
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}
