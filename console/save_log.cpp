// "Salvar Log": the communication log to a file, each line with the PC time it was logged and
// the password of "CF" and "AR" requests masked; the log on screen stays as it is.
#include "console/form1.h"

#include "console/message_log_model.h"
#include "export/export_file_name.h"
#include "export/log_export.h"
#include "export/save_dialog.h"
#include "ui_form1.h"

void Form1::Salvar_Log_Click()
{
    QList<LoggedLine> lines;
    lines.reserve(logModel_->rowCount());
    for (int row = 0; row < logModel_->rowCount(); ++row)
        lines.append({logModel_->loggedAt(row), logModel_->bytes(row)});
    // Before a station is picked, the name kept says there is none.
    const QString station = ui->Postos->currentIndex() >= 0 ? leituras_.station() : QString();
    const QString name = exportFileName(QStringLiteral("Log"), station, QDateTime::currentDateTime());
    saveRowsAs(this, QStringLiteral("Salvar Log"), name, logRows(lines));
}
