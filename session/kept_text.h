#pragma once

#include <QString>

// Text from the controller as the programs keep it: what was sent, with each control character
// (C0, DEL and C1) as U+FFFD, so that none can end a line, move a cursor or start a terminal
// sequence wherever the text is shown later, and none passes unnoticed.
QString keptText(const QString &text);
