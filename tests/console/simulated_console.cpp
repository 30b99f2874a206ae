#include "simulated_console.h"

#include "simulator/default_station.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTest>

SimulatedConsole::SimulatedConsole(const QString &address, SimulatedStation station)
    : controller_(station.tanks.empty() ? demonstrationStation() : std::move(station))
{
    if (!controller_.listen(QHostAddress(address)))
        qFatal("simulator on %s: %s", qPrintable(address), qPrintable(controller_.errorString()));
    QObject::connect(&controller_, &ControllerSimulator::requestReceived, &controller_,
                     [this](const QString &, const QByteArray &frame) { requests_ << frame; });
    fixture_ = std::make_unique<ConsoleFixture>(
        QList<ConsoleFixture::Station>{{QStringLiteral("Posto Simulado"), address}});
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
    fixture_->pick(0);
    return QTest::qWaitFor([this] { return fixture_->text(QStringLiteral("Estado_TCP")) == QStringLiteral("Conectado"); },
                           5000);
}

bool SimulatedConsole::openDialogue(const QString &password)
{
    if (!connectSocket())
        return false;
    // Answer the password window, and leave every other window to whoever handled it before.
    const std::function<void(QWidget *)> previous = fixture_->onWindow;
    fixture_->onWindow = [password, previous](QWidget *window) {
        if (window->objectName() == QStringLiteral("Form3"))
            answerDialog(window, QStringLiteral("Senha"), password, QStringLiteral("Validar_Senha"));
        else if (previous)
            previous(window);
    };
    click(QStringLiteral("Abrir_Conexao"));
    const bool opened =
        QTest::qWaitFor([this] { return fixture_->child<QGroupBox>(QStringLiteral("Frame5"))->isEnabled(); }, 5000);
    fixture_->onWindow = previous;
    return opened;
}

void SimulatedConsole::click(const QString &button)
{
    QTest::mouseClick(fixture_->child<QAbstractButton>(button), Qt::LeftButton);
}
