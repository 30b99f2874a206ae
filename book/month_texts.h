#pragma once

#include "closing/month_figures.h"

#include <QString>

#include <optional>

// The words and numbers of the tab "Mês", Brazilian whatever the system's locale.

// "31.200", "-187,5", "-": litres as the book keeps them, to the centilitre.
QString litresText(std::optional<double> litres);

// "Vendas do mês: 31.200 L; perda acumulada: -187 L, 0,60 % das vendas"; a month without sales
// has no percentage.
QString monthSummaryText(const MonthProduct &product);

// "fechado" or "aberto".
QString dayStateText(bool closed);
