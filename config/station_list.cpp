#include "config/station_list.h"

#include "config/station_file_reader.h"

std::optional<QVector<PostoListado>> loadStationTable(const QString &filePath,
                                                      TabelaLocais &Tabela_Locais, QString *error)
{
    const std::optional<QVector<Local>> items = readStationItems(filePath, error);
    if (!items)
        return std::nullopt;

    QVector<PostoListado> Postos;
    for (int n = 1; n <= int(items->size()); ++n) {
        const Local &item = items->at(n - 1);
        Local &entry = Tabela_Locais.entry(n);
        entry.Descricao = item.Descricao;
        if (item.Descricao.isEmpty())
            continue;
        entry.IP = item.IP;
        entry.Port = item.Port;
        Postos.append({item.Descricao, n});
    }
    return Postos;
}

QVector<PostoListado> stationsInUse(const TabelaLocais &Tabela_Locais)
{
    QVector<PostoListado> Postos;
    for (int n = 1; n <= TabelaLocais::Entradas; ++n) {
        const QString &Descricao = Tabela_Locais.entry(n).Descricao;
        if (!Descricao.isEmpty())
            Postos.append({Descricao, n});
    }
    return Postos;
}
