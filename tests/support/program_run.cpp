#include "program_run.h"

#include <QTest>

ProgramRun::ProgramRun(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment)
{
    connect(&process_, &QProcess::readyReadStandardOutput, this, &ProgramRun::readOut);
    connect(&process_, &QProcess::readyReadStandardError, this, [this] { err_ += process_.readAllStandardError(); });
    connect(&process_, &QProcess::finished, this, [this] { elapsedMs_ = clock_.elapsed(); });
    process_.setProcessEnvironment(environment);
    clock_.start();
    process_.start(program, arguments);
}

ProgramRun::~ProgramRun()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished();
    }
}

void ProgramRun::readOut()
{
    out_ += process_.readAllStandardOutput();
    outTimes_.append({clock_.elapsed(), out_.size()});
}

bool ProgramRun::waitForText(const QByteArray &text, int timeoutMs)
{
    return QTest::qWaitFor([&] { return out_.contains(text) || err_.contains(text); }, timeoutMs);
}

int ProgramRun::waitForExit(int timeoutMs)
{
    if (!QTest::qWaitFor([&] { return process_.state() == QProcess::NotRunning; }, timeoutMs)) {
        process_.kill();
        process_.waitForFinished();
        return -1;
    }
    readOut();
    err_ += process_.readAllStandardError();
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

qint64 ProgramRun::msUntilOut(const QByteArray &text) const
{
    const qsizetype at = out_.indexOf(text);
    if (at < 0)
        return -1;
    for (const auto &[ms, size] : outTimes_) {
        if (size >= at + text.size())
            return ms;
    }
    return -1;
}

ProgramResult ProgramRun::finish(int timeoutMs)
{
    ProgramResult result;
    result.exitCode = waitForExit(timeoutMs);
    result.out = out_;
    result.err = err_;
    result.elapsedMs = elapsedMs();
    return result;
}

ProgramResult runProgram(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment,
                         int timeoutMs)
{
    return ProgramRun(program, arguments, environment).finish(timeoutMs);
}
