#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// A fuel line of a nota fiscal, in litres whatever unit it was sold in.
struct InvoiceItem {
    QString product;   // xProd, as the supplier names it
    QString anpCode;   // comb/cProdANP; empty when the line carries none
    double litres = 0;
    double pricePerLitre = 0;
};

// A supplier's nota fiscal (NF-e), as far as the daily book needs it.
struct Invoice {
    QString accessKey;  // the 44 digits of infNFe/@Id
    QString number;     // ide/nNF
    QString series;     // ide/serie
    QDateTime issuedAt;
    QString supplierName;
    QString supplierCnpj;
    QString recipientCnpj;  // empty when the recipient is a person (CPF) or not named
    QList<InvoiceItem> items;
};

// Why an invoice file is refused.
struct InvoiceProblem {
    enum Kind {
        NotReadable,       // detail: the file's own problem, already in words
        NotXml,            // line: where the XML breaks
        NotAnInvoice,      // not an NFe nor an nfeProc of the national layout
        MissingField,      // detail: the field's path
        BadValue,          // detail: the field's path; value: what it held
        UnknownUnit,       // value: the unit
        OtherRecipient,    // value: the recipient's CNPJ
        AlreadyImported,   // value: the access key
    };
    Kind kind;
    QString detail;
    QString value;
    qint64 line = 0;
};

// The text of a refusal, naming the file.
QString invoiceProblemText(const QString &fileName, const InvoiceProblem &problem);
