#pragma once

#include <QString>

#include <array>
#include <cstddef>

struct Local {
    QString Descricao;
    QString IP;
    QString Port;

    bool operator==(const Local &other) const
    {
        return Descricao == other.Descricao && IP == other.IP && Port == other.Port;
    }
};

// The 40 stations, numbered from 1 like the lines of the station file and the rows of the editor.
class TabelaLocais
{
public:
    static constexpr int Entradas = 40;

    Local &entry(int n) { return m_locais.at(std::size_t(n - 1)); }
    const Local &entry(int n) const { return m_locais.at(std::size_t(n - 1)); }

private:
    std::array<Local, Entradas> m_locais;
};
