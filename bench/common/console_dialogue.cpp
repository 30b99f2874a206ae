#include "common/console_dialogue.h"

#include "common/event_wait.h"
#include "tests/console/console_fixture.h"

#include <QAbstractButton>
#include <QGroupBox>

#include <utility>

namespace {

// The console shows the socket's state once a second.
constexpr int ConnectTimeoutMs = 5000;
constexpr int DialogueTimeoutMs = 5000;

} // namespace

bool openDialogue(ConsoleFixture &fixture, int index, const QString &password)
{
    fixture.pick(index);
    if (!waitUntil([&] { return fixture.text(QStringLiteral("Estado_TCP")) == QStringLiteral("Conectado"); },
                   ConnectTimeoutMs))
        return false;

    const auto callersHandler = std::exchange(fixture.onWindow, [password](QWidget *window) {
        answerDialog(window, QStringLiteral("Senha"), password, QStringLiteral("Validar_Senha"));
    });
    fixture.child<QAbstractButton>(QStringLiteral("Abrir_Conexao"))->click();
    const bool open = waitUntil([&] { return fixture.child<QGroupBox>(QStringLiteral("Frame5"))->isEnabled(); },
                                DialogueTimeoutMs);
    fixture.onWindow = callersHandler;
    return open;
}
