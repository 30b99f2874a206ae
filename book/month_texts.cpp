#include "book/month_texts.h"

#include <QLocale>

#include <cmath>

namespace {

const QLocale &brazilian()
{
    static const QLocale locale(QLocale::Portuguese, QLocale::Brazil);
    return locale;
}

} // namespace

QString litresText(std::optional<double> litres)
{
    if (!litres)
        return QStringLiteral("-");
    return brazilian().toString(*litres, 'f', QLocale::FloatingPointShortest);
}

QString monthSummaryText(const MonthProduct &product)
{
    const double variance = product.cumulativeVariance;
    // The sign is in the litres already; the word says which way, the percentage how much.
    const QString drift = variance < 0   ? QStringLiteral("perda acumulada")
                          : variance > 0 ? QStringLiteral("ganho acumulado")
                                         : QStringLiteral("perda/ganho acumulado");
    QString text = QStringLiteral("Vendas do mês: %1 L; %2: %3 L")
                       .arg(litresText(product.sales), drift, litresText(variance));
    if (product.cumulativePercent)
        text += QStringLiteral(", %1 % das vendas").arg(brazilian().toString(std::abs(*product.cumulativePercent), 'f', 2));
    return text;
}

QString dayStateText(bool closed)
{
    return closed ? QStringLiteral("fechado") : QStringLiteral("aberto");
}
