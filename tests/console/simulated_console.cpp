#include "simulated_console.h"

#include "simulator/default_station.h"

#include <QPushButton>
#include <QTest>

SimulatedConsole::SimulatedConsole(const QString &address, SimulatedStation station,
                                   const HistoryStoreOptions &historyOptions)
    : controller_(station.tanks.empty() ? demonstrationStation() : std::move(station))
{
    if (!controller_.listen(QHostAddress(address)))
        qFatal("simulator on %s: %s", qPrintable(address), qPrintable(controller_.errorString()));
    QObject::connect(&controller_, &ControllerSimulator::requestReceived, &controller_,
                     [this](const QString &, const QByteArray &frame) { requests_ << frame; });
    fixture_ = std::make_unique<ConsoleFixture>(
        QList<ConsoleFixture::Station>{{QStringLiteral("Posto Simulado"), address}}, historyOptions);
}

QList<QByteArray> SimulatedConsole::requestBodies() const
{
    QList<QByteArray> bodies;
    for (const QByteArray &frame : requests_)
        bodies << frame.mid(1, frame.size() - 3);
    return bodies;
}

bool SimulatedConsole::connectSocket()
{
    return fixture_->connectSocket(0);
}

bool SimulatedConsole::openDialogue(const QString &password)
{
    return fixture_->openDialogue(0, password);
}

void SimulatedConsole::click(const QString &button)
{
    QTest::mouseClick(fixture_->child<QAbstractButton>(button), Qt::LeftButton);
}

SimulatedTank simpleTank(const char *product, int capacity, int measured)
{
    SimulatedTank t;
    t.product = QString::fromLatin1(product);
    t.capacity = capacity;
    t.measured = measured;
    t.density = 0.74;
    t.levelMm = 1200;
    return t;
}
