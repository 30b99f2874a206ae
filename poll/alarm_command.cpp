#include "poll/alarm_command.h"

#include <QProcess>
#include <QTimer>

#include <utility>

#ifdef Q_OS_UNIX
#include <csignal>
#include <unistd.h>
#endif

AlarmCommandRunner::AlarmCommandRunner(const QString &command, int timeoutMs, QObject *parent)
    : QObject(parent), words_(commandWords(command).value_or(QStringList())), timeoutMs_(timeoutMs)
{
}

void AlarmCommandRunner::run(const AlarmNotice &notice)
{
    if (!isValid())
        return;
    auto *process = new QProcess(this);
    process->setProgram(words_.first());
    process->setArguments(words_.mid(1));
    process->setProcessEnvironment(alarmEnvironment(notice, QProcessEnvironment::systemEnvironment()));
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setInputChannelMode(QProcess::ManagedInputChannel);

#ifdef Q_OS_UNIX
    // A group of its own, so that what a shell command starts goes with it when time is up.
    process->setChildProcessModifier([] { ::setpgid(0, 0); });
#endif

    auto *deadline = new QTimer(process);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, process, [this, process] {
        emit problem(QStringLiteral("comando de alarme \"%1\" encerrado após %2 ms").arg(words_.first()).arg(timeoutMs_));
#ifdef Q_OS_UNIX
        ::kill(-pid_t(process->processId()), SIGKILL);
#endif
        process->kill();
    });
    connect(process, &QProcess::finished, this, [this, process, deadline](int exitCode, QProcess::ExitStatus status) {
        if (status == QProcess::NormalExit && exitCode != 0 && deadline->isActive())
            emit problem(QStringLiteral("comando de alarme \"%1\" terminou com o código %2").arg(words_.first()).arg(exitCode));
        deadline->stop();
        process->deleteLater();
        ended();
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;  // the others end in finished()
        emit problem(QStringLiteral("comando de alarme \"%1\": %2").arg(words_.first(), process->errorString()));
        process->deleteLater();
        ended();
    });
    ++running_;
    deadline->start(timeoutMs_);
    process->start();
    process->closeWriteChannel();
}

void AlarmCommandRunner::ended()
{
    if (--running_ == 0)
        emit idle();
}

std::optional<QStringList> commandWords(const QString &command)
{
    enum class Quote { None, Single, Double };
    QStringList words;
    QString word;
    bool inWord = false;
    Quote quote = Quote::None;
    for (qsizetype i = 0; i < command.size(); ++i) {
        const QChar c = command.at(i);
        if (quote == Quote::Single) {
            if (c == QLatin1Char('\''))
                quote = Quote::None;
            else
                word += c;
            continue;
        }
        if (quote == Quote::Double) {
            const bool escapes = c == QLatin1Char('\\') && i + 1 < command.size()
                && QStringLiteral("\"\\$`").contains(command.at(i + 1));
            if (escapes)
                word += command.at(++i);
            else if (c == QLatin1Char('"'))
                quote = Quote::None;
            else
                word += c;
            continue;
        }
        if (c.isSpace()) {
            if (inWord)
                words << std::exchange(word, QString());
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == QLatin1Char('\'')) {
            quote = Quote::Single;
        } else if (c == QLatin1Char('"')) {
            quote = Quote::Double;
        } else if (c == QLatin1Char('\\')) {
            if (++i == command.size())
                return std::nullopt;
            word += command.at(i);
        } else {
            word += c;
        }
    }
    if (quote != Quote::None)
        return std::nullopt;
    if (inWord)
        words << word;
    return words;
}

QProcessEnvironment alarmEnvironment(const AlarmNotice &notice, QProcessEnvironment base)
{
    base.insert(QStringLiteral("COMZELTA_ALARM"), notice.alarm);
    base.insert(QStringLiteral("COMZELTA_ALARM_STATE"), notice.raised ? QStringLiteral("raised") : QStringLiteral("cleared"));
    base.insert(QStringLiteral("COMZELTA_STATION"), notice.stationDescription);
    base.insert(QStringLiteral("COMZELTA_HOST"), notice.host);
    base.insert(QStringLiteral("COMZELTA_SUBJECT"), QString::number(notice.subject));
    base.insert(QStringLiteral("COMZELTA_DETAIL"), notice.detail);
    base.insert(QStringLiteral("COMZELTA_AT"), notice.at.toUTC().toString(Qt::ISODate));
    return base;
}
