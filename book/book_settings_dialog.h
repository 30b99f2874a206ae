#pragma once

#include "book/book_setup.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;
class QTableWidget;
class QTimeEdit;

// "Configurar Bicos": a station's active nozzles (each with its pump and tank) and how its book is
// kept: the closing hour, the tolerance and its base, the volume basis, the totalisers' digits and
// the CNPJ its invoices are addressed to; and the names the suppliers' invoices give its products.
// Nothing is kept until "OK", and only rows that make sense.
class BookSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit BookSettingsDialog(const BookSetup &setup, QWidget *parent = nullptr);

    void accept() override;

signals:
    void saved(const BookSetup &setup);

private:
    void addRow(const NozzleRecord &nozzle);
    // Refused, its row named, when a line is not whole.
    void refuse(const QString &table, int row, const QString &rule);

    ClosingSettings settings_;
    QTimeEdit *closingHour_;
    QDoubleSpinBox *tolerance_;
    QComboBox *base_;
    QComboBox *volume_;
    QSpinBox *digits_;
    QLineEdit *cnpj_;
    QTableWidget *nozzles_;
    QTableWidget *products_;
};
