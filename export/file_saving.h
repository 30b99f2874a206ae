#pragma once

#include <QByteArray>
#include <QString>

// Writes `bytes` to `path` all or nothing: the file is put in place only once every byte has
// reached the disk, so a failure (a missing folder, a full disk, a folder by that name) leaves
// whatever file was there. Empty on success, otherwise the reason, for the operator.
QString saveWholeFile(const QString &path, const QByteArray &bytes);
