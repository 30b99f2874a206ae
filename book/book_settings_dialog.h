#pragma once

#include "store/closing_rows.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;
class QTableWidget;
class QTimeEdit;

// "Configurar Bicos": a station's active nozzles (each with its pump and tank) and how its book is
// kept: the closing hour, the tolerance and its base, the volume basis, the totalisers' digits and
// the CNPJ its invoices are addressed to. Nothing is kept until "OK", and only rows that make sense.
class BookSettingsDialog : public QDialog {
    Q_OBJECT
public:
    BookSettingsDialog(const ClosingSettings &settings, const QList<NozzleRecord> &nozzles, QWidget *parent = nullptr);

    void accept() override;

signals:
    void saved(const ClosingSettings &settings, const QList<NozzleRecord> &nozzles);

private:
    void addRow(const NozzleRecord &nozzle);

    ClosingSettings settings_;
    QTimeEdit *closingHour_;
    QDoubleSpinBox *tolerance_;
    QComboBox *base_;
    QComboBox *volume_;
    QSpinBox *digits_;
    QLineEdit *cnpj_;
    QTableWidget *nozzles_;
};
