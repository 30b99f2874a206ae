#pragma once

#include "store/closing_rows.h"

#include <QDialog>
#include <QTimeZone>

// "Histórico de Alterações": every closing and reopening of a day, oldest first: when (in the
// station's time), what, who, from which machine and why.
class BookAuditDialog : public QDialog {
    Q_OBJECT
public:
    BookAuditDialog(QDate day, const QList<AuditRecord> &records, const QTimeZone &zone, QWidget *parent = nullptr);
};
