#pragma once

#include <QString>

class ConsoleFixture;

// Picks the station listed at `index` in the console's selector, waits for its socket, and opens
// the controller dialogue with `password`, up to the configuration reply that enables the
// panels. The fixture's own window handler is left as it was.
bool openDialogue(ConsoleFixture &fixture, int index, const QString &password = QStringLiteral("bench"));
