// The exports from the console, against a simulated controller: "Salvar Log" hides the password
// of the requests that carry it and nothing else, and the results window the console opens
// exports under the station's name and the date asked for.
#include "tests/support/csv_reader.h"
#include "tests/support/file_helpers.h"
#include "tests/console/simulated_console.h"
#include "console/message_log_model.h"
#include "export_hook.h"

#include "session/log_text.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString Address = QStringLiteral("127.0.0.110");

// The file read back, its BOM checked and taken off.
std::optional<QList<QStringList>> savedRecords(const QString &path)
{
    const QByteArray file = readAll(path);
    if (!file.startsWith("\xEF\xBB\xBF"))
        return std::nullopt;
    return readCsv(file.mid(3), QLatin1Char(';'));
}

bool offeredAs(const SaveDialogStandIn &dialog, const QString &start)
{
    const QRegularExpression pattern(QStringLiteral("^") + QRegularExpression::escape(start)
                                     + QStringLiteral("\\d{4}-\\d\\d-\\d\\d_\\d{4}\\.csv$"));
    return dialog.suggested.size() == 1 && pattern.match(QFileInfo(dialog.suggested[0]).fileName()).hasMatch();
}

} // namespace

class TestConsoleExports : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        sim_ = std::make_unique<SimulatedConsole>(Address);
        sim_->fixture().onWindow = [this](QWidget *window) {
            if (window->objectName() == QStringLiteral("Form6")) {
                answerDialog(window, QStringLiteral("Data_Medicoes"), QStringLiteral("010324"),
                             QStringLiteral("Solicitar_Medicoes"));
                return;
            }
            // A report window: export once it is on screen, then close it.
            QTimer::singleShot(0, window, [window] {
                window->findChild<QAbstractButton *>(QStringLiteral("Exportar_CSV"))->click();
                window->findChild<QAbstractButton *>(QStringLiteral("Retornar"))->click();
            });
        };
    }

    void cleanup() { sim_.reset(); }

    void savedLogHidesThePasswordOnly()
    {
        const QDateTime start = QDateTime::currentDateTime().addMSecs(-999);
        QVERIFY(sim_->openDialogue(QStringLiteral("segredo")));
        sim_->click(QStringLiteral("Sinc_Relogio"));
        const QRegularExpression clockReply(QStringLiteral("^Recebeu: \\d{3} \x02" "AR"));
        QTRY_VERIFY(!sim_->fixture().logLines().filter(clockReply).isEmpty());
        QTemporaryDir dir;
        SaveDialogStandIn dialog(dir.filePath(QStringLiteral("log.csv")));
        sim_->click(QStringLiteral("Salvar_Log"));
        const QDateTime end = QDateTime::currentDateTime();

        QCOMPARE(dialog.captions, QStringList{"Salvar Log"});
        QVERIFY2(offeredAs(dialog, QStringLiteral("Log_Posto-Simulado_")), qPrintable(dialog.suggested.join(' ')));
        const auto records = savedRecords(dir.filePath(QStringLiteral("log.csv")));
        QVERIFY(records);
        const MessageLogModel &log = sim_->console().log();
        QCOMPARE(records->size(), 1 + log.rowCount());
        QCOMPARE(records->first(), (QStringList{"Data e Hora", "Mensagem"}));

        const QRegularExpression clockSetting(
            QStringLiteral("^Transmitiu: \\*\\*\\* <STX>AR\\*\\*\\*\\d{13}<ETX>\\*$"));
        // Replies of the same codes are masked as well: a line that echoes would send the password.
        const QRegularExpression passwordCodeReply(QStringLiteral("^Recebeu: \\d{3} <STX>(CF|AR)"));
        int masked = 0;
        int maskedReplies = 0;
        for (int row = 0; row < log.rowCount(); ++row) {
            const QStringList &record = records->at(row + 1);
            QCOMPARE(record.size(), 2);
            const QDateTime at = QDateTime::fromString(record[0], QStringLiteral("dd/MM/yyyy HH:mm:ss"));
            QVERIFY2(at >= start && at <= end, qPrintable(record[0]));
            // The screen shows what the file holds; the lines as they came tell which were masked.
            const QString shown = log.data(log.index(row), Qt::DisplayRole).toString();
            QCOMPARE(record[1], shown);
            const QString sent = readableLogLine(log.bytes(row));
            if (sent.contains(QStringLiteral("SEGREDO"))) {
                ++masked;
                QVERIFY2(record[1] == QStringLiteral("Transmitiu: *** <STX>CF***<ETX>*")
                             || clockSetting.match(record[1]).hasMatch(),
                         qPrintable(record[1]));
            } else if (const QRegularExpressionMatch reply = passwordCodeReply.match(sent); reply.hasMatch()) {
                ++maskedReplies;
                QVERIFY2(record[1].startsWith(QStringLiteral("Recebeu: *** <STX>") + reply.captured(1)
                                              + QStringLiteral("***")),
                         qPrintable(record[1]));
            } else {
                QCOMPARE(record[1], sent);
            }
        }
        QCOMPARE(masked, 2);
        QCOMPARE(maskedReplies, 2);
        QVERIFY(!readAll(dir.filePath(QStringLiteral("log.csv"))).contains("SEGREDO"));
    }

    void resultsExportUnderTheStationAndDate()
    {
        QTemporaryDir dir;
        SaveDialogStandIn dialog(dir.filePath(QStringLiteral("medicoes.csv")));
        QVERIFY(sim_->openDialogue());
        sim_->click(QStringLiteral("Medicao_Programada"));
        QTRY_COMPARE(dialog.suggested.size(), 1);
        QVERIFY2(offeredAs(dialog, QStringLiteral("Medicoes-2024-03-01_Posto-Simulado_")),
                 qPrintable(dialog.suggested[0]));
        const auto records = savedRecords(dir.filePath(QStringLiteral("medicoes.csv")));
        QVERIFY(records);
        const QList<QStringList> expected{{"No.", "Tanque", "Volume", "Data e Hora"},
                                          {"1", "1", "21000", "01/03/2024 06:00:00"},
                                          {"2", "4", "12100", "01/03/2024 06:00:00"},
                                          {"3", "3", "6400", "01/03/2024 18:30:00"}};
        QCOMPARE(*records, expected);
    }

private:
    std::unique_ptr<SimulatedConsole> sim_;
};

QTEST_MAIN(TestConsoleExports)
#include "tst_console_exports.moc"
