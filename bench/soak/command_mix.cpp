#include "soak/command_mix.h"

#include "simulator/simulated_station.h"

QString scheduleDateText()
{
    return ScheduleDay.toString(QStringLiteral("ddMMyy"));
}

std::vector<SoakCommand> commandMix(const SimulatedStation &station)
{
    const auto records = station.schedule.find(ScheduleDay);
    // A date without records is answered with one error reply.
    const int scheduled = records == station.schedule.end() ? 1 : int(records->second.size());
    const int tanks = station.tankCount();
    return {
        {QStringLiteral("LR"), QStringLiteral("LR_Cmd"), 1},
        {QStringLiteral("AR"), QStringLiteral("Sinc_Relogio"), 1},
        {QStringLiteral("MT"), QStringLiteral("MT_Cmd"), 1},
        {QStringLiteral("LM"), QStringLiteral("LM_Cmd"), 1},
        {QStringLiteral("LS"), QStringLiteral("Ler_Sensores"), 1},
        {QStringLiteral("MA"), QStringLiteral("MA_Cmd"), tanks},
        {QStringLiteral("MP"), QStringLiteral("Medicao_Programada"), scheduled},
        {QStringLiteral("IV"), QStringLiteral("IV_Cmd"), tanks},
    };
}
