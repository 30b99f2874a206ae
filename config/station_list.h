#pragma once

#include "config/station_table.h"

#include <QString>
#include <QVector>

#include <optional>

// One line of the station selector: what it shows and the entry it connects to.
struct PostoListado {
    QString Descricao;
    int Entrada = 0;

    bool operator==(const PostoListado &other) const
    {
        return Descricao == other.Descricao && Entrada == other.Entrada;
    }
};

// The console's load: item n of the file sets entry n. An item with an empty description empties
// only that entry's description; its IP and Port keep what they held, and entries past the last
// item keep everything. Returns the items with a description, in file order, for the selector; on
// failure the table is untouched and *error names the file and the reason.
std::optional<QVector<PostoListado>> loadStationTable(const QString &filePath,
                                                      TabelaLocais &Tabela_Locais,
                                                      QString *error = nullptr);

// The entries with a description, in entry order: the selector after the editor hands back its grid.
QVector<PostoListado> stationsInUse(const TabelaLocais &Tabela_Locais);
