#include "closing/closing_texts.h"

QString closingProblemText(const ClosingProblem &problem, const QTimeZone &zone)
{
    switch (problem.kind) {
    case ClosingProblem::NoOpeningReading:
        return QStringLiteral("Sem leitura do medidor às %1 na abertura do dia")
            .arg(problem.at.toTimeZone(zone).time().toString(QStringLiteral("HH:mm")));
    case ClosingProblem::NoClosingReading:
        return QStringLiteral("Sem leitura do medidor às %1")
            .arg(problem.at.toTimeZone(zone).time().toString(QStringLiteral("HH:mm")));
    case ClosingProblem::DipstickMissing:
        return QStringLiteral("Tanque %1 sem régua registrada").arg(problem.number);
    case ClosingProblem::TankWithoutNozzles:
        return QStringLiteral("Tanque %1 sem bicos cadastrados").arg(problem.number);
    case ClosingProblem::TankNeverMeasured:
        return QStringLiteral("Tanque %1 com bicos cadastrados e sem leituras do medidor").arg(problem.number);
    case ClosingProblem::NozzleWithoutTotaliser:
        return QStringLiteral("Bico %1 sem encerrantes do dia").arg(problem.number);
    case ClosingProblem::ImpossibleTotaliser:
        return QStringLiteral("Bico %1 com encerrantes impossíveis").arg(problem.number);
    case ClosingProblem::JustificationNeeded:
        return QStringLiteral("%1: perda ou ganho além da tolerância, sem justificativa").arg(problem.product);
    }
    return {};
}

QString closeRefusalText(const CloseRefusal &refusal, QDate day, const QTimeZone &zone)
{
    const QString date = day.toString(QStringLiteral("dd/MM/yyyy"));
    switch (refusal.kind) {
    case CloseRefusal::AlreadyClosed:
        return QStringLiteral("o dia %1 já está fechado").arg(date);
    case CloseRefusal::NotClosed:
        return QStringLiteral("o dia %1 não está fechado").arg(date);
    case CloseRefusal::NotOver:
        return QStringLiteral("o dia %1 só termina em %2: feche-o depois")
            .arg(date, refusal.ends.toTimeZone(zone).toString(QStringLiteral("dd/MM/yyyy HH:mm")));
    case CloseRefusal::NotClosable: {
        QStringList problems;
        for (const ClosingProblem &problem : refusal.problems)
            problems << closingProblemText(problem, zone);
        return QStringLiteral("o dia %1 não pode ser fechado: %2").arg(date, problems.join(QStringLiteral("; ")));
    }
    case CloseRefusal::Engine:
        break;
    }
    return refusal.error.databaseText().simplified();
}

QString closedDayText(QDate day)
{
    return QStringLiteral("o dia %1 está fechado").arg(day.toString(QStringLiteral("dd/MM/yyyy")));
}

QString inputRefusalText(const InputRefusal &refusal)
{
    switch (refusal.kind) {
    case InputRefusal::DayClosed:
        return closedDayText(refusal.day);
    case InputRefusal::UnknownNozzle:
        return QStringLiteral("o bico %1 (dia %2) não está cadastrado")
            .arg(refusal.nozzle)
            .arg(refusal.day.toString(QStringLiteral("dd/MM/yyyy")));
    case InputRefusal::Engine:
        break;
    }
    return refusal.error.databaseText().simplified();
}

QString auditActionText(const QString &action)
{
    return action == QLatin1String("close") ? QStringLiteral("fechamento") : QStringLiteral("reabertura");
}

QString entryProblemText(const EntryProblem &problem)
{
    switch (problem.kind) {
    case EntryProblem::UnknownProduct:
        return QStringLiteral("o produto \"%1\" não casa com nenhuma descarga").arg(problem.value);
    case EntryProblem::TanksUnknown:
        return QStringLiteral("%1 tem mais de um tanque e nenhuma descarga mostra qual recebeu").arg(problem.value);
    case EntryProblem::DayClosed:
        return closedDayText(QDate::fromString(problem.value, Qt::ISODate));
    case EntryProblem::NoSuchTank:
        return QStringLiteral("o posto não tem o tanque %1").arg(problem.value);
    }
    return {};
}
