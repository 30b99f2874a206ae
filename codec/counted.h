#pragma once

#include <QString>

// "1 leitura", "2 leituras", "1.234 leituras": a count and its noun, as Brazilians write them.
QString counted(qint64 count, const char *singular, const char *plural);
