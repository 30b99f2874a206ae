#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// Answers "Imprimir"'s questions as an operator without a printer would: yes, a PDF, at `path`.
class PdfAnswers {
public:
    explicit PdfAnswers(const QString &path)
    {
        QObject::connect(&timer_, &QTimer::timeout, [this, path] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                questions << box->text();
                if (QAbstractButton *yes = box->button(QMessageBox::Yes))
                    yes->click();
                else
                    box->reject();
            } else if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
                offered = dialog->selectedFiles().value(0);
                dialog->selectFile(path);
                static_cast<QDialog *>(dialog)->accept();  // public there, and still the file dialog's own
            }
        });
        timer_.start(5);
    }

    QStringList questions;
    QString offered;

private:
    QTimer timer_;
};
