#include "codec/file_text.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString errorText(QFileDevice::FileError error)
{
    switch (error) {
    case QFileDevice::NoError:
        return QStringLiteral("nenhum erro");
    case QFileDevice::ReadError:
        return QStringLiteral("erro de leitura");
    case QFileDevice::WriteError:
        return QStringLiteral("erro de gravação");
    case QFileDevice::FatalError:
        return QStringLiteral("erro grave do sistema de arquivos");
    case QFileDevice::ResourceError:
        return QStringLiteral("sem recursos (disco cheio ou arquivos abertos demais)");
    case QFileDevice::OpenError:
        return QStringLiteral("não foi possível abrir");
    case QFileDevice::AbortError:
        return QStringLiteral("operação interrompida");
    case QFileDevice::TimeOutError:
        return QStringLiteral("tempo esgotado");
    case QFileDevice::RemoveError:
        return QStringLiteral("não foi possível apagar");
    case QFileDevice::RenameError:
        return QStringLiteral("não foi possível renomear");
    case QFileDevice::PositionError:
        return QStringLiteral("não foi possível posicionar no arquivo");
    case QFileDevice::ResizeError:
        return QStringLiteral("não foi possível mudar o tamanho");
    case QFileDevice::PermissionsError:
        return QStringLiteral("sem permissão");
    case QFileDevice::CopyError:
        return QStringLiteral("não foi possível copiar");
    case QFileDevice::UnspecifiedError:
        break;
    }
    return QStringLiteral("erro desconhecido");
}

} // namespace

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString fileErrorText(const QFile &file)
{
    // Qt reports every failed open as OpenError; what the file and its folder allow says why.
    if (file.error() == QFileDevice::OpenError) {
        const QFileInfo info(file.fileName());
        if (!info.dir().exists())
            return QStringLiteral("a pasta %1 não existe").arg(shownPath(info.absolutePath()));
        if (info.isDir())
            return QStringLiteral("é uma pasta");
        if (info.exists() && !info.isWritable())
            return QStringLiteral("sem permissão de gravação");
        if (!info.exists() && !QFileInfo(info.absolutePath()).isWritable())
            return QStringLiteral("sem permissão de gravação na pasta %1").arg(shownPath(info.absolutePath()));
    }
    return errorText(file.error());
}

bool openRegularFile(QFile &file, QString *problem)
{
    const QString path = shownPath(file.fileName());
    const QFileInfo info(file.fileName());
    if (!info.exists()) {
        *problem = QStringLiteral("%1 não existe").arg(path);
        return false;
    }
    if (!info.isFile()) {
        *problem = QStringLiteral("%1 não é um arquivo comum").arg(path);
        return false;
    }
    if (!info.isReadable()) {
        *problem = QStringLiteral("%1: sem permissão de leitura").arg(path);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = QStringLiteral("%1: %2").arg(path, fileErrorText(file));
        return false;
    }
    return true;
}
