#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// As the poller wants poll.ini: readable by its owner only.
inline bool writeOwnerOnly(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
        && file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// The lines of a text file, sorted.
inline QStringList sortedLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList found = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    found.sort();
    return found;
}
