#include "poll/poll_output.h"

#include "codec/counted.h"

#include <QLocale>

#include <cstdio>

PollOutput::PollOutput(bool progressLine) : out_(stdout), err_(stderr), progressLine_(progressLine) {}

void PollOutput::progress(int done, int total, int failed)
{
    if (!progressLine_)
        return;
    progress_ = done < total ? QStringLiteral("Postos: %1/%2 concluídos, %3 com falha").arg(done).arg(total).arg(failed)
                             : QString();
    clearProgress();
    drawProgress();
}

void PollOutput::line(const QString &text)
{
    clearProgress();
    out_ << text << '\n';
    drawProgress();
}

void PollOutput::problem(const QString &text)
{
    clearProgress();
    err_ << "comzelta-poll: " << text << Qt::endl;
    drawProgress();
}

void PollOutput::clearProgress()
{
    if (progressLine_)
        out_ << "\r\x1b[K";
    out_.flush();
}

void PollOutput::drawProgress()
{
    if (progressLine_)
        out_ << progress_;
    out_.flush();
}

namespace {

// A round over a large fleet can fail thousands of stations; the line names the first few.
constexpr int NamesShown = 10;

QString names(const QStringList &all)
{
    QString text = all.mid(0, NamesShown).join(QStringLiteral(", "));
    if (all.size() > NamesShown)
        text += QStringLiteral(" … e mais %1").arg(all.size() - NamesShown);
    return text;
}

} // namespace

QString roundLine(const RoundSummary &summary)
{
    const QLocale portuguese(QLocale::Portuguese, QLocale::Brazil);
    QString text = QStringLiteral("Rodada %1%2: %3 de %4 postos lidos")
                       .arg(summary.number)
                       .arg(summary.interrupted ? QStringLiteral(" interrompida") : QString())
                       .arg(summary.read)
                       .arg(summary.stations);
    if (!summary.failed.isEmpty()) {
        text += QStringLiteral(", %1 com falha (%2)").arg(summary.failed.size()).arg(names(summary.failed));
    }
    if (!summary.skipped.isEmpty()) {
        text += QStringLiteral("; %1 fora da rodada (%2)")
                    .arg(counted(summary.skipped.size(), "ocupado", "ocupados"), names(summary.skipped));
    }
    if (!summary.heldElsewhere.isEmpty()) {
        text += QStringLiteral("; %1 em leitura por outro coletor (%2)")
                    .arg(summary.heldElsewhere.size())
                    .arg(names(summary.heldElsewhere));
    }
    return text + QStringLiteral("; %1 s").arg(portuguese.toString(summary.elapsedMs / 1000.0, 'f', 1));
}

QString closingReadLine(const QList<QTime> &hours, int stations)
{
    QStringList shown;
    for (const QTime &hour : hours)
        shown << hour.toString(QStringLiteral("HH:mm"));
    return QStringLiteral("Leitura do fechamento (%1): %2")
        .arg(shown.join(QStringLiteral(", ")), counted(stations, "posto", "postos"));
}

QString historyBacklog(bool failing, int queued)
{
    if (!failing)
        return {};
    return QStringLiteral("; histórico indisponível, %1 na fila").arg(counted(queued, "gravação", "gravações"));
}

namespace {

QString subjectText(const AlarmNotice &notice)
{
    if (notice.subject == 0)
        return {};
    const QString &alarm = notice.alarm;
    QString noun = QStringLiteral("tanque");
    if (alarm == QLatin1String("leak") || alarm == QLatin1String("sensor_fault"))
        noun = QStringLiteral("sensor");
    else if (alarm == QLatin1String("bar_inactive"))
        noun = QStringLiteral("barra");
    return QStringLiteral(", %1 %2").arg(noun).arg(notice.subject);
}

} // namespace

QString alarmLine(const AlarmNotice &notice)
{
    const QString kind = notice.alarm == QLatin1String("delivery")   ? QStringLiteral("Descarga")
        : notice.alarm == QLatin1String("ofe_conflict")              ? QStringLiteral("Posto à parte")
        : notice.raised                                              ? QStringLiteral("Alarme ativado")
                                                                     : QStringLiteral("Alarme desativado");
    return QStringLiteral("%1: %2 (%3)%4: %5 [%6, %7]")
        .arg(kind, notice.stationDescription, notice.host, subjectText(notice), notice.detail, notice.alarm,
             notice.at.toUTC().toString(Qt::ISODate));
}
