#include "poll/alarm_command.h"
#include "tests/support/file_helpers.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Appends the alarm's environment to `file`, one line per run.
QString recordingCommand(const QString &file)
{
    return QStringLiteral("sh -c 'printf \"%s|%s|%s|%s|%s|%s|%s\\n\" \"$COMZELTA_ALARM\" \"$COMZELTA_ALARM_STATE\" "
                          "\"$COMZELTA_STATION\" \"$COMZELTA_HOST\" \"$COMZELTA_SUBJECT\" \"$COMZELTA_DETAIL\" "
                          "\"$COMZELTA_AT\" >> \"%1\"'")
        .arg(file);
}

} // namespace

class TestAlarmCommand : public QObject {
    Q_OBJECT

private:
    QTemporaryDir directory_;

private slots:
    void environment_data()
    {
        QTest::addColumn<QString>("alarm");
        QTest::addColumn<int>("subject");
        QTest::addColumn<bool>("raised");
        QTest::addColumn<QString>("line");
        QTest::newRow("raised, a tank") << "low_level" << 2 << true
                                        << "low_level|raised|Posto São João|10.0.0.5|2|Nível baixo: 9 %|"
                                           "2024-03-01T10:00:00Z";
        QTest::newRow("cleared, the station") << "communication" << 0 << false
                                              << "communication|cleared|Posto São João|10.0.0.5|0|Nível baixo: 9 %|"
                                                 "2024-03-01T10:00:00Z";
    }
    // Run through a real shell command, as a user would write one.
    void environment()
    {
        QFETCH(QString, alarm);
        QFETCH(int, subject);
        QFETCH(bool, raised);
        QFETCH(QString, line);
        const QString file = directory_.filePath(QStringLiteral("env-%1.txt").arg(QTest::currentDataTag()));
        AlarmCommandRunner runner(recordingCommand(file), 5000);
        QVERIFY(runner.isValid());
        QSignalSpy idle(&runner, &AlarmCommandRunner::idle);
        QSignalSpy problems(&runner, &AlarmCommandRunner::problem);
        // Local time, handed over as UTC.
        const QDateTime at = QDateTime(QDate(2024, 3, 1), QTime(7, 0), QTimeZone("America/Sao_Paulo"));
        runner.run(AlarmNotice{QStringLiteral("Posto São João"), QStringLiteral("10.0.0.5"), alarm, subject, raised,
                               QStringLiteral("Nível baixo: 9 %"), at});
        QVERIFY(idle.wait(5000));
        QCOMPARE(problems.size(), 0);
        QCOMPARE(sortedLines(file), QStringList{line});
    }

    void problems_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("problem");
        QTest::newRow("no such program") << "/nonexistent/notify --now" << "comando de alarme \"/nonexistent/notify\"";
        QTest::newRow("failing") << "sh -c 'exit 3'" << "terminou com o código 3";
        QTest::newRow("too slow") << "sh -c 'sleep 5'" << "encerrado após 300 ms";
    }
    void problems()
    {
        QFETCH(QString, command);
        QFETCH(QString, problem);
        AlarmCommandRunner runner(command, 300);
        QSignalSpy idle(&runner, &AlarmCommandRunner::idle);
        QSignalSpy problems(&runner, &AlarmCommandRunner::problem);
        QElapsedTimer clock;
        clock.start();
        runner.run(AlarmNotice{});
        QVERIFY(idle.wait(3000));
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems.first().first().toString().contains(problem), qPrintable(problems.first().first().toString()));
        QCOMPARE(runner.runningCount(), 0);
    }

    void words_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("words");  // empty: refused
        QTest::newRow("plain") << "notify-send  Alarme\tagora" << QStringList{"notify-send", "Alarme", "agora"};
        QTest::newRow("single quotes keep everything") << "sh -c 'echo \"$X\" \\ | wc'"
                                                      << QStringList{"sh", "-c", "echo \"$X\" \\ | wc"};
        QTest::newRow("double quotes, escapes") << "say \"a \\\"b\\\" \\$HOME \\n\""
                                                << QStringList{"say", "a \"b\" $HOME \\n"};
        QTest::newRow("quotes join a word") << "a'b c'\"d\"e" << QStringList{"ab cde"};
        QTest::newRow("backslash outside quotes") << "my\\ script x\\'y" << QStringList{"my script", "x'y"};
        QTest::newRow("empty quoted word") << "cmd '' x" << QStringList{"cmd", "", "x"};
        QTest::newRow("single quote not closed") << "sh -c 'sleep 5" << QStringList{};
        QTest::newRow("double quote not closed") << "say \"a" << QStringList{};
        QTest::newRow("trailing backslash") << "say a\\" << QStringList{};
    }
    void words()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, words);
        const std::optional<QStringList> split = commandWords(command);
        QCOMPARE(split.has_value(), !words.isEmpty());
        if (split)
            QCOMPARE(*split, words);
    }
};

QTEST_GUILESS_MAIN(TestAlarmCommand)
#include "tst_alarm_command.moc"
