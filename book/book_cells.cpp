#include "book/book_cells.h"

#include <QLocale>

#include <cmath>

namespace {

const QLocale &brazilian()
{
    static const QLocale locale(QLocale::Portuguese, QLocale::Brazil);
    return locale;
}

} // namespace

QString bookNumberText(const std::optional<double> &value)
{
    if (!value)
        return QStringLiteral("-");
    // Rounded first, so that a sum's last binary digits never show.
    return brazilian().toString(std::round(*value * 100) / 100, 'f', QLocale::FloatingPointShortest);
}

std::optional<double> bookNumber(const QString &text)
{
    bool ok = false;
    const double value = brazilian().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

const QStringList &stockHeaders()
{
    static const QStringList headers{QStringLiteral("Estoque de abertura"), QStringLiteral("Recebimentos"),
                                     QStringLiteral("Volume disponível"),    QStringLiteral("Vendas"),
                                     QStringLiteral("Estoque escritural"),   QStringLiteral("Fechamento físico"),
                                     QStringLiteral("Perdas/ganhos (L)"),    QStringLiteral("Perdas/ganhos (%)"),
                                     QStringLiteral("Além da tolerância")};
    return headers;
}

QString beyondToleranceText(const StockFigures &figures)
{
    if (!figures.varianceLitres)
        return QStringLiteral("-");
    return figures.beyondTolerance ? QStringLiteral("sim") : QStringLiteral("não");
}

const QStringList &nozzleHeaders()
{
    static const QStringList headers{QStringLiteral("Bico"), QStringLiteral("Bomba"), QStringLiteral("Tanque"),
                                     QStringLiteral("Encerrante inicial"), QStringLiteral("Encerrante final"),
                                     QStringLiteral("Aferição"), QStringLiteral("Vendas")};
    return headers;
}

const QStringList &invoiceHeaders()
{
    static const QStringList headers{QStringLiteral("Nota"), QStringLiteral("Fornecedor"), QStringLiteral("Produto"),
                                     QStringLiteral("Faturado"), QStringLiteral("Medido"), QStringLiteral("Diferença")};
    return headers;
}
