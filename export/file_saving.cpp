#include "export/file_saving.h"

#include <QDir>
#include <QSaveFile>

QString saveWholeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Flushed before the commit, so that a full disk fails here instead of committing a short file.
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
            && file.commit();
    if (written)
        return {};
    return QStringLiteral("Não foi possível gravar o arquivo %1: %2.")
            .arg(QDir::toNativeSeparators(path), file.errorString());
}
