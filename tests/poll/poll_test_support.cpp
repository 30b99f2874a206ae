#include "poll_test_support.h"

#include "simulator/station_file.h"

#include <QDebug>
#include <QFile>
#include <QTest>

QString twoTankStation()
{
    return QStringLiteral(R"(
[station]
ofe = %1
password = Zelta

[tank 1]
product = GASOLINA
capacity = 30000
measured = 18250

[tank 2]
product = DIESEL
capacity = 15000
measured = 4100
)");
}

std::unique_ptr<ControllerSimulator> startSimulator(const QString &stationText, const QString &address)
{
    const StationLoad load = parseStation(stationText);
    if (!load.problems.isEmpty()) {
        qWarning() << load.problems;
        return nullptr;
    }
    auto simulator = std::make_unique<ControllerSimulator>(load.station);
    if (!simulator->listen(QHostAddress(address))) {
        qWarning() << address << simulator->errorString();
        return nullptr;
    }
    return simulator;
}

DialogueRecorder::DialogueRecorder(ControllerSimulator *simulator) : QObject(simulator)
{
    connect(simulator, &ControllerSimulator::clientConnected, this, [this] {
        connections_ << QString();
        mostClients_ = std::max(mostClients_, ++clients_);
    });
    connect(simulator, &ControllerSimulator::clientDisconnected, this, [this] { --clients_; });
    connect(simulator, &ControllerSimulator::requestReceived, this, [this](const QString &, const QByteArray &frame) {
        if (connections_.isEmpty())
            connections_ << QString();
        QString &current = connections_.last();
        current += (current.isEmpty() ? QString() : QStringLiteral(" ")) + requestBody(frame);
    });
}

QString requestBody(const QByteArray &frame)
{
    const qsizetype etx = frame.indexOf('\x03');
    return QString::fromLatin1(frame.mid(1, etx < 0 ? -1 : etx - 1));
}

QStringList sortedLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList found = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    found.sort();
    return found;
}

ProgramRun::ProgramRun(const QString &program, const QStringList &arguments, QObject *parent) : QObject(parent)
{
    connect(&process_, &QProcess::readyReadStandardOutput, this, [this] { out_ += process_.readAllStandardOutput(); });
    connect(&process_, &QProcess::readyReadStandardError, this, [this] { err_ += process_.readAllStandardError(); });
    process_.start(program, arguments);
}

ProgramRun::~ProgramRun()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished();
    }
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
    out_ += process_.readAllStandardOutput();
    err_ += process_.readAllStandardError();
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}
