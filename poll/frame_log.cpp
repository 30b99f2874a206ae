#include "poll/frame_log.h"

#include "codec/file_text.h"
#include "session/log_masking.h"
#include "session/log_text.h"

#include <QDateTime>

bool FrameLog::open(const QString &path, QString *error)
{
    file_.setFileName(path);
    // Its frames name the stations and their hosts: a new log is its owner's only.
    if (file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return true;
    *error = QStringLiteral("arquivo de registro %1: %2").arg(shownPath(path), fileErrorText(file_));
    return false;
}

void FrameLog::write(const QString &station, const QByteArray &line)
{
    const QString text = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs) + QLatin1Char('\t') + station
        + QLatin1Char('\t') + readableLogLine(maskedLogLine(line)) + QLatin1Char('\n');
    file_.write(text.toUtf8());
    // Whoever follows the file, or reads it after a crash, sees every frame so far.
    file_.flush();
}
