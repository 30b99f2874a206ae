#include "reports/scheduled_fields.h"

#include <QLocale>
#include <cmath>

namespace {

QString joinPairs(const QString &text, QChar separator, const QString &lastPair)
{
    return text.left(2) + separator + text.mid(2, 2) + separator + lastPair;
}

QString zeroFilledSix(const QString &field)
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool isNumber = false;
    const double value = c.toDouble(field.trimmed(), &isNumber);
    if (!isNumber || !std::isfinite(value))
        return field;
    const double rounded = std::round(value);
    const QString digits = QString::number(std::fabs(rounded), 'f', 0).rightJustified(6, QLatin1Char('0'));
    return rounded < 0 ? QLatin1Char('-') + digits : digits;
}

} // namespace

QString captionDate(const QString &Data_MedProg)
{
    return joinPairs(Data_MedProg, QLatin1Char('/'), Data_MedProg.mid(4, 2));
}

QString dateCell(const QString &field)
{
    const QString date = zeroFilledSix(field);
    return joinPairs(date, QLatin1Char('/'), date.right(2));
}

QString timeCell(const QString &field)
{
    return joinPairs(field, QLatin1Char(':'), field.right(2));
}
