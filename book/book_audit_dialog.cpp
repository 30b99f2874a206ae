#include "book/book_audit_dialog.h"

#include "closing/closing_texts.h"
#include "session/log_text.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

BookAuditDialog::BookAuditDialog(QDate day, const QList<AuditRecord> &records, const QTimeZone &zone, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Historico_Alteracoes"));
    setWindowTitle(QStringLiteral("Histórico de Alterações: %1").arg(day.toString(QStringLiteral("dd/MM/yyyy"))));
    setAccessibleName(windowTitle());

    auto *table = new QTableWidget(int(records.size()), 5, this);
    table->setObjectName(QStringLiteral("Alteracoes"));
    table->setAccessibleName(QStringLiteral("Alterações"));
    table->setHorizontalHeaderLabels({QStringLiteral("Quando"), QStringLiteral("Ação"), QStringLiteral("Usuário"),
                                      QStringLiteral("Máquina"), QStringLiteral("Motivo")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < records.size(); ++row) {
        const AuditRecord &record = records[row];
        const QStringList cells{record.at.toTimeZone(zone).toString(QStringLiteral("dd/MM/yyyy HH:mm")),
                                auditActionText(record.action), readableText(record.author.userName),
                                readableText(record.author.machine), readableText(record.reason)};
        for (int column = 0; column < cells.size(); ++column)
            table->setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    table->resizeColumnsToContents();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    if (records.isEmpty())
        layout->addWidget(new QLabel(QStringLiteral("O dia nunca foi fechado."), this));
    layout->addWidget(table, 1);
    layout->addWidget(buttons);
    resize(720, 320);
}
