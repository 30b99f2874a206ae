#include "imports/day_rows.h"
#include "imports/invoice.h"

QString invoiceProblemText(const QString &fileName, const InvoiceProblem &problem)
{
    switch (problem.kind) {
    case InvoiceProblem::NotReadable:
        return problem.detail;
    case InvoiceProblem::NotXml:
        return QStringLiteral("%1: XML ilegível na linha %2").arg(fileName).arg(problem.line);
    case InvoiceProblem::NotAnInvoice:
        return QStringLiteral("%1: não é uma NF-e").arg(fileName);
    case InvoiceProblem::MissingField:
        return QStringLiteral("%1: falta o campo %2").arg(fileName, problem.detail);
    case InvoiceProblem::BadValue:
        return QStringLiteral("%1: valor inválido em %2: \"%3\"").arg(fileName, problem.detail, problem.value);
    case InvoiceProblem::UnknownUnit:
        return QStringLiteral("%1: unidade \"%2\" não é de volume (aceitas: L, LT, M3)").arg(fileName, problem.value);
    case InvoiceProblem::OtherRecipient:
        return QStringLiteral("%1: destinada a outro CNPJ (%2), não ao do posto")
            .arg(fileName, problem.value.isEmpty() ? QStringLiteral("sem CNPJ") : problem.value);
    case InvoiceProblem::AlreadyImported:
        return QStringLiteral("%1: NF-e já importada (chave %2)").arg(fileName, problem.value);
    }
    return {};
}

QString rowProblemText(const QString &fileName, const RowProblem &problem)
{
    const QString where = QStringLiteral("%1, linha %2: ").arg(fileName).arg(problem.line);
    switch (problem.kind) {
    case RowProblem::NoRows:
        return QStringLiteral("%1: nenhuma linha de dados").arg(fileName);
    case RowProblem::FieldCount:
        return where + QStringLiteral("%1 campos, fora do leiaute").arg(problem.value);
    case RowProblem::Missing:
        return where + QStringLiteral("%1 vazio").arg(problem.field);
    case RowProblem::BadWhole:
        return where + QStringLiteral("%1 \"%2\" não é um número inteiro positivo").arg(problem.field, problem.value);
    case RowProblem::BadNumber:
        return where + QStringLiteral("%1 \"%2\" não é um número (use a vírgula decimal: 1.000,00)")
                           .arg(problem.field, problem.value);
    case RowProblem::BadDate:
        return where + QStringLiteral("%1 \"%2\" não é uma data DD/MM/AAAA").arg(problem.field, problem.value);
    case RowProblem::Negative:
        return where + QStringLiteral("%1 \"%2\" negativo").arg(problem.field, problem.value);
    case RowProblem::Repeated:
        return where + QStringLiteral("%1 \"%2\" repetido").arg(problem.field, problem.value);
    }
    return {};
}
