#include "cli/password_source.h"

#include "codec/file_text.h"
#include "session/controller_password.h"

#include <QFile>

namespace {

// A password is a few characters; a longer first line is not a password file.
constexpr qint64 LongestLine = 4096;

PasswordSource failure(const QString &error)
{
    PasswordSource source;
    source.error = error;
    return source;
}

// `origin` names where the password came from, for the message when it cannot be used.
PasswordSource password(const QString &text, const QString &origin)
{
    if (const QString problem = passwordProblem(text); !problem.isEmpty())
        return failure(origin + QStringLiteral(": ") + problem);
    PasswordSource source;
    source.password = controllerPassword(text);
    return source;
}

} // namespace

PasswordSource readPassword(const QString &passwordFile, const std::optional<QString> &environmentValue)
{
    if (passwordFile.isEmpty()) {
        if (!environmentValue)
            return failure(QStringLiteral("falta a senha: use --password-file ARQUIVO ou a variável de ambiente %1")
                               .arg(QLatin1String(PasswordVariable)));
        return password(*environmentValue,
                        QStringLiteral("variável de ambiente %1").arg(QLatin1String(PasswordVariable)));
    }
    QFile file(passwordFile);
    if (QString problem; !openRegularFile(file, &problem))
        return failure(QStringLiteral("arquivo de senha %1").arg(problem));
    QByteArray line = file.readLine(LongestLine + 1);
    if (!line.endsWith('\n') && !file.atEnd())
        return failure(QStringLiteral("arquivo de senha %1: a primeira linha é longa demais").arg(passwordFile));
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return password(QString::fromUtf8(line), QStringLiteral("arquivo de senha %1").arg(passwordFile));
}
