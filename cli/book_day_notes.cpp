#include "cli/book_day_notes.h"

#include "session/log_text.h"

namespace {

QString statusText(const BookDay &day, const QTimeZone &zone)
{
    const QString date = day.figures.date.toString(QStringLiteral("dd/MM/yyyy"));
    if (!day.closed)
        return QStringLiteral("Dia %1: aberto").arg(date);
    // Who, as far as the system knew: an account without a name still names its machine.
    QStringList who;
    if (!day.closedBy.userName.isEmpty())
        who << QStringLiteral("por %1").arg(readableText(day.closedBy.userName));
    if (!day.closedBy.machine.isEmpty())
        who << QStringLiteral("(%1)").arg(readableText(day.closedBy.machine));
    who << QStringLiteral("em %1").arg(day.closedAt.toTimeZone(zone).toString(QStringLiteral("dd/MM/yyyy HH:mm")));
    QString text = QStringLiteral("Dia %1: fechado %2").arg(date, who.join(QLatin1Char(' ')));
    if (day.divergentOpening)
        text += QStringLiteral(", abertura divergente");
    return text;
}

} // namespace

QStringList bookDayNotes(const BookDay &day, const QTimeZone &zone)
{
    QStringList notes{statusText(day, zone)};
    // A closed day keeps its figures, not where its stock came from: only an open day says so.
    const std::optional<StockSnapshot> &closing = day.figures.closingStock;
    if (closing && closing->source == StockSource::Dipstick)
        notes << QStringLiteral("Estoque físico medido na régua: %1").arg(readableText(closing->reason));
    for (const int tank : day.figures.weighedTanks)
        notes << QStringLiteral("Tanque %1 medido em kg: fora do livro, que é em litros").arg(tank);
    return notes;
}
