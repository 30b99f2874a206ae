#include "config/station_file_writer.h"

#include "codec/windows1252.h"
#include "config/station_file_format.h"
#include "config/station_paths.h"

#include <QDir>
#include <QSaveFile>

#include <algorithm>
#include <array>

namespace {

struct NamedField {
    const QString &text;
    QString name;
};

std::array<NamedField, 3> namedFields(const Local &local)
{
    return {{{local.Descricao, QStringLiteral("Descrição")},
             {local.IP, QStringLiteral("IP")},
             {local.Port, QStringLiteral("Port")}}};
}

QString checkField(int item, const NamedField &field)
{
    const QString prefix = QStringLiteral("Item %1: o campo %2 ").arg(QString::number(item), field.name);
    if (field.text.size() > qsizetype(stationfile::FieldWidth))
        return prefix + QStringLiteral("tem mais de 30 caracteres.");
    // Each of these would split the line into further items when the file is read back.
    for (const QChar c : {QChar(u','), QChar(u'"'), QChar(u'\r'), QChar(u'\n')}) {
        if (field.text.contains(c))
            return prefix + QStringLiteral("não pode conter vírgula, aspas nem quebra de linha.");
    }
    if (fromWindows1252(toWindows1252(field.text)) != field.text)
        return prefix + QStringLiteral("tem caracteres que não podem ser gravados no arquivo.");
    return {};
}

QString checkRow(int item, const Local &local)
{
    const auto fields = namedFields(local);
    for (const NamedField &field : fields) {
        const QString problem = checkField(item, field);
        if (!problem.isEmpty())
            return problem;
    }
    // Reading skips the spaces that start a line, which would shift every column of the entry.
    for (const NamedField &field : fields) {
        if (field.text.isEmpty())
            continue;
        if (field.text.startsWith(u' '))
            return QStringLiteral("Item %1: o campo %2 não pode começar com espaço.")
                    .arg(QString::number(item), field.name);
        break;
    }
    return {};
}

stationfile::StationFields toFields(const Local &local)
{
    return {toWindows1252(local.Descricao), toWindows1252(local.IP), toWindows1252(local.Port)};
}

} // namespace

QString checkWholeStation(int item, const Local &local)
{
    const auto fields = namedFields(local);
    const auto blank = [](const NamedField &field) { return field.text.trimmed().isEmpty(); };
    if (std::all_of(fields.begin(), fields.end(), blank))
        return {};
    const auto empty = std::find_if(fields.begin(), fields.end(), blank);
    if (empty == fields.end())
        return {};
    return QStringLiteral("Item %1: o campo %2 está vazio; preencha Descrição, IP e Port, ou deixe os três vazios.")
            .arg(QString::number(item), empty->name);
}

QString checkStationRows(const TabelaLocais &rows)
{
    for (int n = 1; n <= TabelaLocais::Entradas; ++n) {
        const QString problem = checkRow(n, rows.entry(n));
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

bool saveStationFile(const QString &Diretorio_Dados, const TabelaLocais &rows, QString *error)
{
    const auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };

    const QString problem = checkStationRows(rows);
    if (!problem.isEmpty())
        return fail(problem);

    if (!QDir().mkpath(Diretorio_Dados)) {
        return fail(QStringLiteral("Não foi possível criar a pasta %1.")
                            .arg(QDir::toNativeSeparators(Diretorio_Dados)));
    }

    std::array<stationfile::StationFields, stationfile::StationCount> stations;
    for (int n = 1; n <= TabelaLocais::Entradas; ++n)
        stations[std::size_t(n - 1)] = toFields(rows.entry(n));
    const std::string bytes = stationfile::formatFile(stations);

    const QString filePath = stationFilePath(Diretorio_Dados);
    QSaveFile file(filePath);
    // The explicit flush matters: a full disk shows up only when the buffer reaches the file, and
    // commit() alone would then still put the short file in place of the good one.
    const bool written = file.open(QIODevice::WriteOnly)
            && file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size())
            && file.flush()
            && file.commit();
    if (!written) {
        return fail(QStringLiteral("Não foi possível gravar o arquivo %1: %2.")
                            .arg(QDir::toNativeSeparators(filePath), file.errorString()));
    }
    return true;
}
