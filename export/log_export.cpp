#include "export/log_export.h"

#include "session/log_masking.h"
#include "session/log_text.h"

QList<CsvRow> logRows(const QList<LoggedLine> &lines)
{
    QList<CsvRow> rows{{QStringLiteral("Data e Hora"), QStringLiteral("Mensagem")}};
    for (const LoggedLine &line : lines)
        rows.append(CsvRow{line.at, readableLogLine(maskedLogLine(line.bytes))});
    return rows;
}
