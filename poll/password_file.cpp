#include "poll/password_file.h"

#include "codec/file_text.h"
#include "codec/ini_text.h"
#include "session/controller_password.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// A password file is a few lines; anything this large is something else.
constexpr qint64 LargestFile = 1024 * 1024;

QString normalized(const QString &name)
{
    return name.simplified().toCaseFolded();
}

enum class Section { None, General, Stations, Keys, Unknown };

Section sectionNamed(const QString &name)
{
    if (name == QLatin1String("geral"))
        return Section::General;
    if (name == QLatin1String("postos"))
        return Section::Stations;
    if (name == QLatin1String("chaves"))
        return Section::Keys;
    return Section::Unknown;
}

} // namespace

PasswordBook::Lookup PasswordBook::passwordFor(const PolledStation &station) const
{
    if (const auto own = byStation_.constFind(normalized(station.description)); own != byStation_.cend())
        return {*own, {}};
    if (!station.passwordKey.isEmpty()) {
        if (const auto keyed = byKey_.constFind(normalized(station.passwordKey)); keyed != byKey_.cend())
            return {*keyed, {}};
        return {std::nullopt, QStringLiteral("o posto \"%1\" usa a chave de senha \"%2\", que não está em [chaves]")
                                  .arg(station.description, station.passwordKey)};
    }
    if (fallback_)
        return {fallback_, {}};
    return {std::nullopt,
            QStringLiteral("não há senha para o posto \"%1\" (nem em [postos], nem \"senha\" em [geral])")
                .arg(station.description)};
}

bool PasswordBook::setDefault(const QString &password)
{
    if (fallback_)
        return false;
    fallback_ = password;
    return true;
}

namespace {

bool addNew(QHash<QString, QString> &table, const QString &name, const QString &password)
{
    if (table.contains(name))
        return false;
    table.insert(name, password);
    return true;
}

} // namespace

bool PasswordBook::addStation(const QString &description, const QString &password)
{
    return addNew(byStation_, normalized(description), password);
}

bool PasswordBook::addKey(const QString &key, const QString &password)
{
    return addNew(byKey_, normalized(key), password);
}

PasswordLoad parsePasswords(const QString &text)
{
    PasswordLoad load;
    Section section = Section::None;
    for (const IniLine &line : iniLines(text)) {
        // Never the line itself: it may hold a password.
        const QString where = QStringLiteral("linha %1: ").arg(line.number);
        const QString name = normalized(line.name);
        if (line.kind == IniLine::Kind::Section) {
            section = sectionNamed(name);
            if (section == Section::Unknown)
                load.problems << where + QStringLiteral("seção desconhecida [%1] (geral, postos ou chaves)").arg(name);
            continue;
        }
        if (line.kind == IniLine::Kind::Malformed) {
            load.problems << where + QStringLiteral("esperava \"nome = senha\" ou \"[seção]\"");
            continue;
        }
        if (line.value.isEmpty()) {
            load.problems << where + QStringLiteral("senha vazia para \"%1\"").arg(name);
            continue;
        }
        if (const QString problem = passwordProblem(line.value); !problem.isEmpty()) {
            load.problems << where + QStringLiteral("%1 (\"%2\")").arg(problem, name);
            continue;
        }
        bool added = true;
        switch (section) {
        case Section::None:
            load.problems << where + QStringLiteral("\"%1\" fora de qualquer seção").arg(name);
            continue;
        case Section::Unknown:
            continue;
        case Section::General:
            if (name != QLatin1String("senha")) {
                load.problems << where + QStringLiteral("[geral] só tem \"senha\", não \"%1\"").arg(name);
                continue;
            }
            added = load.book.setDefault(line.value);
            break;
        case Section::Stations:
            added = load.book.addStation(name, line.value);
            break;
        case Section::Keys:
            added = load.book.addKey(name, line.value);
            break;
        }
        if (!added)
            load.problems << where + QStringLiteral("\"%1\" repetido").arg(name);
    }
    return load;
}

QString exposedFileProblem(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {};
    if ((status.st_mode & (S_IRGRP | S_IROTH)) == 0)
        return {};
    return QStringLiteral("%1 pode ser lido por outros usuários (permissões %2); ele guarda senhas. Corrija com: "
                          "chmod 600 \"%1\"")
        .arg(path)
        .arg(status.st_mode & 0777, 4, 8, QLatin1Char('0'));
#else
    // NTFS rights are not POSIX bits: the directory's access control protects the file there.
    Q_UNUSED(path);
    return {};
#endif
}

PasswordLoad readPasswordFile(const QString &dataDirectory)
{
    const QString path = dataDirectory + QLatin1String(PasswordFileName);
    PasswordLoad load;
    QFile file(path);
    if (!file.exists()) {
        load.problems << QStringLiteral("falta o arquivo de senhas %1 (veja poll-exemplo.ini; depois: chmod 600 \"%1\")")
                             .arg(path);
        return load;
    }
    // A directory or a FIFO is refused for what it is before its permissions are judged.
    QString problem;
    if (!openRegularFile(file, &problem)) {
        load.problems << QStringLiteral("arquivo de senhas %1").arg(problem);
        return load;
    }
    if (const QString exposed = exposedFileProblem(path); !exposed.isEmpty()) {
        load.problems << exposed;
        return load;
    }
    if (file.size() > LargestFile) {
        load.problems << QStringLiteral("arquivo de senhas %1: grande demais").arg(path);
        return load;
    }
    load = parsePasswords(QString::fromUtf8(file.readAll()));
    for (QString &problem : load.problems)
        problem = QStringLiteral("%1: %2").arg(path, problem);
    return load;
}
