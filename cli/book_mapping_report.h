#pragma once

#include "cli/report_table.h"

#include <QByteArray>
#include <QMap>
#include <QString>

// The mapping of the invoices' product names (or ANP codes) to the gauge's products, as
// `produtos` prints it: a table, or one JSON object with its pairs.
ReportTable productMappingTable(const QMap<QString, QString> &mapping);
QByteArray productMappingJson(const QString &station, const QMap<QString, QString> &mapping);
