#pragma once

#include "store/closing_rows.h"

#include <QList>
#include <QMap>

// How a station's book is kept, as "Configurar Bicos" shows and changes it.
struct BookSetup {
    ClosingSettings settings;
    QList<NozzleRecord> nozzles;
    QMap<QString, QString> products;  // the suppliers' names for them, mapped to the book's
};
