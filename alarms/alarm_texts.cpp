#include "alarms/alarm_texts.h"

#include "alarms/alarm_file_problem.h"

#include <QDir>
#include <QLocale>

namespace {

const QLocale &brazilian()
{
    static const QLocale locale(QLocale::Portuguese, QLocale::Brazil);
    return locale;
}

} // namespace

QString decimalText(double value, int decimals)
{
    return brazilian().toString(value, 'f', decimals);
}

QString litresText(double litres)
{
    return brazilian().toString(qRound64(litres)) + QStringLiteral(" L");
}

QString localTimeText(const QDateTime &utc, const QTimeZone &zone)
{
    return utc.toTimeZone(zone).toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}

QString alarmFileProblemText(const AlarmFileProblem &problem)
{
    if (problem.kind == AlarmFileProblem::Kind::NotOpened)
        return problem.detail;
    return QStringLiteral("%1, %2").arg(QDir::toNativeSeparators(problem.path), problem.problems.join(QStringLiteral("; ")));
}

QString leakText(int sensor, bool leak)
{
    return QStringLiteral("Sensor %1").arg(sensor)
        + (leak ? QStringLiteral(": Vazamento") : QStringLiteral(": Normal, fim do vazamento"));
}

QString sensorFaultText(int sensor, bool fault, const QString &stateLabel)
{
    const QString name = QStringLiteral("Sensor %1").arg(sensor);
    return fault ? QStringLiteral("%1: falha do sensor (%2)").arg(name, stateLabel)
                 : name + QStringLiteral(": Normal, sensor de volta");
}

QString barText(int bar, bool inactive)
{
    return QStringLiteral("Barra %1").arg(bar) + (inactive ? QStringLiteral(" inativa") : QStringLiteral(" ativa novamente"));
}

QString communicationRestoredText(int failedPolls)
{
    return QStringLiteral("Comunicação restabelecida após %1 consultas sem resposta").arg(failedPolls);
}

QString communicationLostText(int failedPolls, const QString &detail)
{
    return QStringLiteral("Sem comunicação em %1 consultas seguidas: %2").arg(QString::number(failedPolls), detail);
}

QString clockOffText(qint64 minutes, bool ahead, int toleratedMinutes)
{
    return QStringLiteral("Relógio do controlador %1 min %2 em relação ao PC (tolerância %3 min)")
        .arg(QString::number(minutes), ahead ? QStringLiteral("adiantado") : QStringLiteral("atrasado"),
             QString::number(toleratedMinutes));
}

QString clockRightText(qint64 minutes)
{
    return QStringLiteral("Relógio do controlador certo: diferença de %1 min").arg(minutes);
}

QString tankText(int tank, const QString &product)
{
    return product.isEmpty() ? QStringLiteral("Tanque %1").arg(tank)
                             : QStringLiteral("Tanque %1 (%2)").arg(QString::number(tank), product);
}

QString lowLevelName()
{
    return QStringLiteral("nível baixo");
}

QString highLevelName()
{
    return QStringLiteral("nível alto");
}

QString levelRaisedText(const QString &tank, const QString &levelName, double percent, double limit)
{
    return QStringLiteral("%1: %2, %3% da capacidade (limite %4%)")
        .arg(tank, levelName, decimalText(percent, 1), decimalText(limit, 1));
}

QString levelRestoredText(const QString &tank, const QString &levelName, double percent)
{
    return QStringLiteral("%1: %2 normalizado, %3% da capacidade").arg(tank, levelName, decimalText(percent, 1));
}

QString deliveryText(const QString &tank, double litres, const QString &from, const QString &to)
{
    return QStringLiteral("%1: entrega de %2 a 20 °C entre %3 e %4").arg(tank, litresText(litres), from, to);
}

QString cumulativeLossText(const QString &product, QDate month, double litres, double percent, double limit)
{
    return QStringLiteral("%1: perda acumulada em %2 de %3, %4% das vendas (limite %5%)")
        .arg(product, month.toString(QStringLiteral("MM/yyyy")), litresText(litres), decimalText(percent, 2),
             decimalText(limit, 1));
}

QString cumulativeLossRestoredText(const QString &product, QDate month, double percent)
{
    return QStringLiteral("%1: perda acumulada em %2 normalizada, %3% das vendas")
        .arg(product, month.toString(QStringLiteral("MM/yyyy")), decimalText(percent, 2));
}
