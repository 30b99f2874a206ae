#include "imports/nfe_reader.h"

#include <QRegularExpression>
#include <QStringList>
#include <QXmlStreamReader>

#include <cmath>

namespace {

const QString Namespace = QStringLiteral("http://www.portalfiscal.inf.br/nfe");

// The fields read, by their path under infNFe.
const QStringList InvoiceFields{QStringLiteral("ide/nNF"), QStringLiteral("ide/serie"), QStringLiteral("ide/dhEmi"),
                                QStringLiteral("emit/CNPJ"), QStringLiteral("emit/xNome"), QStringLiteral("dest/CNPJ")};
const QStringList ItemFields{QStringLiteral("det/prod/xProd"), QStringLiteral("det/prod/qCom"),
                             QStringLiteral("det/prod/uCom"), QStringLiteral("det/prod/vUnCom"),
                             QStringLiteral("det/prod/comb/cProdANP")};

using Fields = QHash<QString, QString>;

InvoiceProblem missing(const QString &field)
{
    return {InvoiceProblem::MissingField, QStringLiteral("infNFe/") + field, {}, 0};
}

InvoiceProblem bad(const QString &field, const QString &value)
{
    return {InvoiceProblem::BadValue, QStringLiteral("infNFe/") + field, value, 0};
}

// A positive decimal in the layout's form (a point, no thousands).
Result<double, InvoiceProblem> positive(const Fields &fields, const QString &field)
{
    const QString text = fields.value(field);
    if (text.isEmpty())
        return failure(missing(field));
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0)
        return failure(bad(field, text));
    return value;
}

Result<InvoiceItem, InvoiceProblem> itemFrom(const Fields &fields)
{
    InvoiceItem item;
    item.product = fields.value(QStringLiteral("det/prod/xProd")).simplified();
    if (item.product.isEmpty())
        return failure(missing(QStringLiteral("det/prod/xProd")));
    item.anpCode = fields.value(QStringLiteral("det/prod/comb/cProdANP"));
    const Result<double, InvoiceProblem> quantity = positive(fields, QStringLiteral("det/prod/qCom"));
    if (!quantity)
        return failure(quantity.error());
    const Result<double, InvoiceProblem> price = positive(fields, QStringLiteral("det/prod/vUnCom"));
    if (!price)
        return failure(price.error());
    const QString unit = fields.value(QStringLiteral("det/prod/uCom")).trimmed();
    const QString plainUnit = unit.toUpper();
    double litresPerUnit = 0;
    if (plainUnit == QLatin1String("L") || plainUnit == QLatin1String("LT"))
        litresPerUnit = 1;
    else if (plainUnit == QLatin1String("M3"))
        litresPerUnit = 1000;
    else
        return failure(InvoiceProblem{InvoiceProblem::UnknownUnit, {}, unit, 0});
    item.litres = *quantity * litresPerUnit;
    item.pricePerLitre = *price / litresPerUnit;
    return item;
}

Result<Invoice, InvoiceProblem> invoiceFrom(const QString &id, const Fields &fields, const QList<Fields> &items)
{
    static const QRegularExpression key(QStringLiteral("^NFe(\\d{44})$"));
    const QRegularExpressionMatch matched = key.match(id);
    if (id.isEmpty())
        return failure(InvoiceProblem{InvoiceProblem::MissingField, QStringLiteral("infNFe/@Id"), {}, 0});
    if (!matched.hasMatch())
        return failure(InvoiceProblem{InvoiceProblem::BadValue, QStringLiteral("infNFe/@Id"), id, 0});
    for (const QString &field : {QStringLiteral("ide/nNF"), QStringLiteral("ide/serie"), QStringLiteral("ide/dhEmi"),
                                 QStringLiteral("emit/CNPJ"), QStringLiteral("emit/xNome")})
        if (fields.value(field).isEmpty())
            return failure(missing(field));
    Invoice invoice;
    invoice.accessKey = matched.captured(1);
    invoice.number = fields.value(QStringLiteral("ide/nNF"));
    invoice.series = fields.value(QStringLiteral("ide/serie"));
    invoice.issuedAt = QDateTime::fromString(fields.value(QStringLiteral("ide/dhEmi")), Qt::ISODate);
    if (!invoice.issuedAt.isValid())
        return failure(bad(QStringLiteral("ide/dhEmi"), fields.value(QStringLiteral("ide/dhEmi"))));
    invoice.supplierName = fields.value(QStringLiteral("emit/xNome")).simplified();
    invoice.supplierCnpj = fields.value(QStringLiteral("emit/CNPJ"));
    invoice.recipientCnpj = fields.value(QStringLiteral("dest/CNPJ"));
    if (items.isEmpty())
        return failure(missing(QStringLiteral("det")));
    for (const Fields &line : items) {
        Result<InvoiceItem, InvoiceProblem> item = itemFrom(line);
        if (!item)
            return failure(item.error());
        invoice.items << std::move(item).value();
    }
    return invoice;
}

} // namespace

Result<Invoice, InvoiceProblem> readNfe(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    QStringList path;       // elements open, from the root
    qsizetype under = -1;   // where infNFe is in the path, once open
    QString id;
    Fields fields;
    QList<Fields> items;
    bool seenInvoice = false;
    bool seenRoot = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const QString name = reader.name().toString();
            if (path.isEmpty()) {
                const bool root = reader.namespaceUri() == Namespace
                                  && (name == QLatin1String("NFe") || name == QLatin1String("nfeProc"));
                if (!root)
                    return failure(InvoiceProblem{InvoiceProblem::NotAnInvoice, {}, {}, 0});
                seenRoot = true;
            }
            path << name;
            if (reader.namespaceUri() != Namespace || seenInvoice)
                continue;
            if (under < 0 && name == QLatin1String("infNFe") && path.size() >= 2 && path.at(path.size() - 2) == QLatin1String("NFe")) {
                under = path.size() - 1;
                id = reader.attributes().value(QStringLiteral("Id")).toString();
                continue;
            }
            if (under < 0)
                continue;
            const QString field = path.mid(under + 1).join(QLatin1Char('/'));
            if (field == QLatin1String("det"))
                items << Fields();
            if (InvoiceFields.contains(field) || ItemFields.contains(field)) {
                const QString text = reader.readElementText().trimmed();
                path.removeLast();
                (field.startsWith(QLatin1String("det/")) ? items.last() : fields).insert(field, text);
            }
        } else if (reader.isEndElement()) {
            if (path.size() - 1 == under) {
                under = -1;
                seenInvoice = true;
            }
            path.removeLast();
        }
    }
    if (reader.hasError()) {
        // A file that breaks before any element is not XML at all: some other file picked by mistake.
        if (!seenRoot)
            return failure(InvoiceProblem{InvoiceProblem::NotAnInvoice, {}, {}, 0});
        return failure(InvoiceProblem{InvoiceProblem::NotXml, {}, {}, reader.lineNumber()});
    }
    if (!seenInvoice)
        return failure(InvoiceProblem{InvoiceProblem::NotAnInvoice, {}, {}, 0});
    return invoiceFrom(id, fields, items);
}

Result<void, InvoiceProblem> checkRecipient(const Invoice &invoice, const QString &stationCnpj)
{
    if (stationCnpj.isEmpty() || invoice.recipientCnpj == stationCnpj)
        return {};
    return failure(InvoiceProblem{InvoiceProblem::OtherRecipient, {}, invoice.recipientCnpj, 0});
}
