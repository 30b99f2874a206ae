#pragma once

#include "poll/poll_scheduler.h"
#include "store/store_types.h"

#include <QList>
#include <QString>
#include <QTextStream>
#include <QTime>

// What comzelta-poll prints: one line per round and per alarm on standard output, problems and
// notes on standard error, and, when standard output is a terminal, a progress line kept below
// them, rewritten in place.
class PollOutput {
public:
    explicit PollOutput(bool progressLine);

    void progress(int done, int total, int failed);
    void line(const QString &text);
    void problem(const QString &text);

private:
    void clearProgress();
    void drawProgress();

    QTextStream out_;
    QTextStream err_;
    bool progressLine_;
    QString progress_;  // shown below the lines; empty once the round is over
};

// "Rodada 2: 38 de 40 postos lidos, 2 com falha (Posto A, Posto B); 1 ocupado fora da rodada
// (Posto C); 12,4 s"
QString roundLine(const RoundSummary &summary);
// A round for the stations whose closing hour has come: "Leitura do fechamento (00:00): 3
// postos", or "(00:00, 06:00)" when their hours differ.
QString closingReadLine(const QList<QTime> &hours, int stations);
// Said after a round's line while the history cannot write: "; histórico indisponível, 5.400
// gravações na fila". Empty while it writes.
QString historyBacklog(bool failing, int queued);
// "Alarme ativado: Posto Centro (10.0.0.5), tanque 2: <detail> [low_level, 2024-03-01T10:00:00Z]";
// a station kept apart: "Posto à parte: Posto B (10.0.0.6): OFE 123456 já é do posto em
// 10.0.0.5: … [ofe_conflict, …]"
QString alarmLine(const AlarmNotice &notice);
