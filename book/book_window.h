#pragma once

#include "book/book_print.h"
#include "book/book_setup.h"
#include "closing/closing_book.h"
#include "store/database_location.h"
#include "store/history_queries.h"

#include <QTimeZone>
#include <QWidget>

class BookDayView;
class MonthView;
class BookWorker;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTabWidget;

// "Fechamento Diário (LMC)": a station's day of the book as the history holds it, closed,
// reopened and fed with totalisers and invoices. Every question goes to a BookWorker, off the UI
// thread; the window works with or without a connection to a controller.
class BookWindow : public QWidget {
    Q_OBJECT
public:
    explicit BookWindow(const DatabaseLocation &history, QWidget *parent = nullptr);

private:
    void showStations(int requestId, const QList<StoredStation> &stations);
    void chooseDay();
    void askDay();
    void showDay(int requestId, const BookDay &day);
    void closeDay();
    void reopenDay();
    void importTotalisers();
    void importInvoices();
    void invoiceEntered(int requestId, const QString &path, const InvoiceRecord &record);
    void invoiceRefused(int requestId, const QString &path, const EntryRefusal &refusal);
    // The file's bytes; nothing, having said why, when it cannot be read.
    std::optional<QByteArray> fileBytes(const QString &path);
    void askAudit();
    void askPrintable();
    void print(int requestId, const BookPrintInput &printable);
    void showMonth(int requestId, const QList<MonthProduct> &month, const QList<QDate> &closedDays);
    void askSetup();
    void showSetup(int requestId, const BookSetup &setup);
    void showAudit(int requestId, const QList<AuditRecord> &records);
    void exportCsv();
    void answered(int requestId);
    void showCloseRefusal(int requestId, const CloseRefusal &refusal);
    void showInputRefusal(int requestId, const InputRefusal &refusal);
    void showFailure(const QString &reason);
    void refused(const QString &text);
    const StoredStation *station() const;
    QTimeZone zone() const;

    BookWorker *worker_;
    QComboBox *station_;
    QDateEdit *date_;
    QLabel *state_;
    QTabWidget *tabs_;
    BookDayView *day_;
    MonthView *month_;
    QPushButton *close_;
    QPushButton *reopen_;
    QPushButton *totalisers_;
    QPushButton *invoices_;
    QLabel *status_;

    QList<StoredStation> stations_;
    QString importing_;      // the file whose rows are being kept
    QStringList entered_;    // what became of each invoice, said once all are in
    bool invoiceRefused_ = false;
    int stationsAsked_ = 0;
    int dayAsked_ = 0;
    int actionAsked_ = 0;   // a close, reopening or input: the day is asked again once it is done
    int auditAsked_ = 0;
    int printAsked_ = 0;
    int monthAsked_ = 0;
    int setupAsked_ = 0;
    QString actionDone_;    // what the status line says once it is
    BookDay shown_;
};
