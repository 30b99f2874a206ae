// The saved communication log: the time of each line, control codes by name, and the password
// of "CF" and "AR" requests masked while every other line stays as it was logged.
#include "tests/support/csv_reader.h"
#include "console/message_log_model.h"
#include "export/log_export.h"
#include "protocol/frame.h"
#include "protocol/log_lines.h"
#include "session/log_masking.h"
#include "session/log_text.h"

#include <QTest>

namespace {

QByteArray frame(const char *body)
{
    return QByteArray::fromStdString(zelta::frameRequest(body));
}

QByteArray transmitted(const char *body)
{
    return QByteArray::fromStdString(*zelta::transmittedLine(zelta::frameRequest(body)));
}

// The request as a peer that echoes sends it back.
QByteArray echoed(const char *body)
{
    return QByteArray::fromStdString(zelta::receivedFrameLine(zelta::frameRequest(body)));
}

const QByteArray NotSent = "N\xE3o transmitiu (sem conex\xE3o): ";

} // namespace

class TestLogExport : public QObject {
    Q_OBJECT

private slots:
    void passwordsAreMasked_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("CF sent") << transmitted("CFsegredo") << QByteArray("Transmitiu: *** \x02" "CF***\x03*");
        QTest::newRow("CF, length hidden") << transmitted("CF1") << QByteArray("Transmitiu: *** \x02" "CF***\x03*");
        QTest::newRow("AR sent") << transmitted("ARsegredo3153000071226")
                                 << QByteArray("Transmitiu: *** \x02" "AR***3153000071226\x03*");
        QTest::newRow("AR, empty password") << transmitted("AR3153000071226")
                                            << QByteArray("Transmitiu: *** \x02" "AR***3153000071226\x03*");
        QTest::newRow("CF not sent") << NotSent + frame("CFSEGREDO") << NotSent + QByteArray("\x02" "CF***\x03*");
        QTest::newRow("AR not sent") << NotSent + frame("ARSEGREDO7235959311299")
                                     << NotSent + QByteArray("\x02" "AR***7235959311299\x03*");
        // What cannot be read as a request is masked from its code to the end of the line.
        QByteArray wrongCheck = transmitted("CFSEGREDO");
        wrongCheck[wrongCheck.size() - 1] = char(wrongCheck.back() ^ 0x20);
        QTest::newRow("CF, wrong check byte") << wrongCheck << QByteArray("Transmitiu: *** \x02" "CF***");
        QTest::newRow("CF cut short") << QByteArray("Transmitiu: 010 \x02" "CFSEGR")
                                      << QByteArray("Transmitiu: *** \x02" "CF***");
        QTest::newRow("AR, no clock after the password")
            << transmitted("ARSEGREDO99") << QByteArray("Transmitiu: *** \x02" "AR***\x03*");
        // Received frames too: a peer that echoes sends the password back.
        QTest::newRow("CF echoed") << echoed("CFTOPSECRET42") << QByteArray("Recebeu: *** \x02" "CF***\x03*");
        QTest::newRow("AR echoed") << echoed("ARTOPSECRET423153000071226")
                                   << QByteArray("Recebeu: *** \x02" "AR***3153000071226\x03*");
        QByteArray spoiledEcho = echoed("CFTOPSECRET42");
        spoiledEcho[spoiledEcho.size() - 1] = char(spoiledEcho.back() ^ 0xFF);
        QTest::newRow("CF echoed, wrong check byte") << spoiledEcho << QByteArray("Recebeu: *** \x02" "CF***");
        QTest::newRow("CF reply") << QByteArray("Recebeu: 016 \x02" "CF04123456102\x03x")
                                  << QByteArray("Recebeu: *** \x02" "CF***");
        QTest::newRow("AR reply") << QByteArray("Recebeu: 018 \x02" "AR15300007122603\x03y")
                                  << QByteArray("Recebeu: *** \x02" "AR***");
    }

    void passwordsAreMasked()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, saved);
        QCOMPARE(maskedLogLine(line), saved);
    }

    void otherLinesStayAsLogged_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("MT reply") << QByteArray("Recebeu: 016 \x02" "MT04123456102\x03x");
        QTest::newRow("identification") << transmitted("ID01");
        QTest::newRow("measure a tank") << transmitted("MT01");
        QTest::newRow("scheduled measurement") << transmitted("MPCF1224");
        QTest::newRow("acknowledgement") << QByteArray::fromStdString(*zelta::transmittedLine("\x06"));
        QTest::newRow("text naming CF, no frame") << QByteArray("Comando CFSEGREDO");
        QTest::newRow("empty") << QByteArray();
    }

    void otherLinesStayAsLogged()
    {
        QFETCH(QByteArray, line);
        QCOMPARE(maskedLogLine(line), line);
    }

    void readableText_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("text");
        QTest::newRow("frame") << QByteArray("\x02MT01\x03" "0") << "<STX>MT01<ETX>0";
        QTest::newRow("control codes")
            << QByteArray("\x00\x01\x06\x09\x0A\x0D\x15\x1B\x1F", 9) << "<NUL><SOH><ACK><HT><LF><CR><NAK><ESC><US>";
        QTest::newRow("bytes Windows-1252 leaves unassigned")
            << QByteArray("\x81\x8D\x8F\x90\x9D") << "<81><8D><8F><90><9D>";
        QTest::newRow("Windows-1252 letters") << QByteArray("\xE3\xE7\x80\x96") << QString::fromUtf8("ãç€–");
    }

    void readableText()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, text);
        QCOMPARE(readableLogLine(line), text);
    }

    // Read back from the file: the time each line was logged on the PC's clock (the test runs
    // with TZ=America/Sao_Paulo), then the line as the log shows it, passwords masked.
    void savedLogReadsBack()
    {
        const QDateTime start(QDate(2026, 12, 7), QTime(18, 30, 0), Qt::UTC);
        const QList<LoggedLine> lines{
            {start, transmitted("ID01")},
            {start.addSecs(1), transmitted("CFSEGREDO")},
            {start.addSecs(2), QByteArray("Recebeu: ACK")},
            {start.addSecs(3), NotSent + frame("ARSEGREDO3153000071226")},
            {start.addSecs(4), QByteArray("Descartou: \x7F\x81")},
            {start.addSecs(3600 * 6), QByteArray("Recebeu: 007 \x02" "LS;\"\x03" "z")},
        };
        const QByteArray file = csvFile(logRows(lines));
        QVERIFY(file.startsWith("\xEF\xBB\xBF"));
        QVERIFY(!file.contains("SEGREDO"));
        const auto records = readCsv(file.mid(3), QLatin1Char(';'));
        QVERIFY(records);
        const QList<QStringList> expected{
            {"Data e Hora", "Mensagem"},
            {"07/12/2026 15:30:00", "Transmitiu: 007 <STX>ID01<ETX><SI>"},
            {"07/12/2026 15:30:01", "Transmitiu: *** <STX>CF***<ETX>*"},
            {"07/12/2026 15:30:02", "Recebeu: ACK"},
            {"07/12/2026 15:30:03", QString::fromUtf8("Não transmitiu (sem conexão): <STX>AR***3153000071226<ETX>*")},
            {"07/12/2026 15:30:04", "Descartou: <DEL><81>"},
            {"07/12/2026 21:30:00", "Recebeu: 007 <STX>LS;\"<ETX>z"},
        };
        QCOMPARE(*records, expected);
    }

    // The console keeps the PC time of every line; the screen still shows the frame as sent.
    void consoleLogKeepsTheTimeOfEachLine()
    {
        MessageLogModel model;
        const QByteArray line = transmitted("CFSEGREDO");
        for (int round = 0; round < 2; ++round) {
            model.clear();
            const QDateTime before = QDateTime::currentDateTimeUtc();
            model.append(line.toStdString());
            model.append("Recebeu: ACK");
            const QDateTime after = QDateTime::currentDateTimeUtc();
            QCOMPARE(model.rowCount(), 2);
            for (int row = 0; row < 2; ++row) {
                QVERIFY(model.loggedAt(row) >= before);
                QVERIFY(model.loggedAt(row) <= after);
            }
            QCOMPARE(model.bytes(0), line);
            // Kept as it came, for the saved log; shown with the password masked.
            QCOMPARE(model.data(model.index(0), Qt::DisplayRole).toString(),
                     QStringLiteral("Transmitiu: *** <STX>CF***<ETX>*"));
        }
    }
};

QTEST_GUILESS_MAIN(TestLogExport)
#include "tst_log_export.moc"
