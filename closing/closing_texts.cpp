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
