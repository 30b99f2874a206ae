#include "stations/station_file_problem.h"

#include "codec/file_text.h"

namespace {

QString fieldName(StationFileProblem::Field field)
{
    switch (field) {
    case StationFileProblem::Field::Description:
        return QStringLiteral("Descrição");
    case StationFileProblem::Field::Host:
        return QStringLiteral("IP");
    case StationFileProblem::Field::Port:
        return QStringLiteral("Port");
    }
    return {};
}

} // namespace

QString stationFileProblemText(const StationFileProblem &problem)
{
    using Kind = StationFileProblem::Kind;
    const QString field = QStringLiteral("Item %1: o campo %2 ").arg(QString::number(problem.item), fieldName(problem.field));
    switch (problem.kind) {
    case Kind::NotOpened:
        return problem.detail + QLatin1Char('.');
    case Kind::ReadFailed:
        return QStringLiteral("Erro ao ler o arquivo %1: %2.").arg(shownPath(problem.path), problem.detail);
    case Kind::TooLarge:
        return QStringLiteral("O arquivo %1 é grande demais para uma lista de locais.").arg(shownPath(problem.path));
    case Kind::FieldTooLong:
        return field + QStringLiteral("tem mais de 30 caracteres.");
    case Kind::FieldSplitsLine:
        return field + QStringLiteral("não pode conter vírgula, aspas nem quebra de linha.");
    case Kind::FieldNotWritable:
        return field + QStringLiteral("tem caracteres que não podem ser gravados no arquivo.");
    case Kind::FieldStartsBlank:
        return field + QStringLiteral("não pode começar com espaço.");
    case Kind::PartialStation:
        return field + QStringLiteral("está vazio; preencha Descrição, IP e Port, ou deixe os três vazios.");
    case Kind::FolderNotCreated:
        return QStringLiteral("Não foi possível criar a pasta %1.").arg(shownPath(problem.path));
    case Kind::WriteFailed:
        return QStringLiteral("Não foi possível gravar o arquivo %1: %2.").arg(shownPath(problem.path), problem.detail);
    }
    return {};
}
