#pragma once

#include "base/result.h"
#include "imports/invoice.h"

#include <QByteArray>

// Reads a nota fiscal in the national NF-e XML layout: a bare NFe, or the nfeProc that wraps it
// with its authorisation. Volumes come in litres: L, LT and M3 are converted, any other unit is
// refused by name, so that no kilogram or unit count enters a book kept in litres.
Result<Invoice, InvoiceProblem> readNfe(const QByteArray &xml);

// Refuses an invoice addressed to another CNPJ than the station's, when the station's is set.
Result<void, InvoiceProblem> checkRecipient(const Invoice &invoice, const QString &stationCnpj);
