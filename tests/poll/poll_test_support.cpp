#include "poll_test_support.h"

#include "simulator/station_file.h"

#include <QDebug>
#include <QFile>

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
