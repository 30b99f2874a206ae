#pragma once

#include "session/readings.h"
#include "store/history_store.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

// What the store tests share: readings as the session decodes them from real frames, waiting for
// commits, and a connection of the test's own to look at the file.

// A measurement reply decoded from its frame. `complementary` and `level` are the 6-character
// fields as the controller sends them; `mark` is position 70 ('P' for a tank measured by weight).
struct MeasurementFrame {
    QByteArray code = "MT";
    QByteArray tank = "001";
    QByteArray product = "GASOLINA C ";
    QByteArray measured = "012000";
    QByteArray complementary = "018000";
    QByteArray volume20 = "011950";
    QByteArray level = "001200";
    QByteArray time = "100000";
    QByteArray date = "150324";
    char mark = ' ';
    bool goodCheckByte = true;

    MeasurementReading reading() const;
};

// The frame of a reply body: STX, body, ETX and the check byte, right or spoiled.
QByteArray replyFrame(const QByteArray &body, bool goodCheckByte = true);

// Waits, spinning the event loop, until the store reports the commit of `sequence`.
bool waitForWritten(HistoryStore &store, quint64 sequence, int timeoutMs = 10000);

// A read-only connection of the test's own to the history file.
class FileInspector {
public:
    explicit FileInspector(const QString &filePath);
    ~FileInspector();

    // The first column of the first row; an invalid QVariant when there is none.
    QVariant scalar(const QString &sql) const;
    // Every row, each as its columns.
    QList<QVariantList> rows(const QString &sql) const;
    // Every row as its columns' texts joined by '|', "NULL" for NULL.
    QStringList texts(const QString &sql) const;

private:
    QString name_;
};
