#include "poll/fleet_file.h"

#include "codec/windows1252.h"

#include <QFile>
#include <QHostAddress>
#include <QSet>
#include <QStringDecoder>
#include <QTimeZone>

#include <utility>

namespace {

// Far beyond any fleet; larger is not a fleet file.
constexpr qint64 LargestFile = 16 * 1024 * 1024;
constexpr int FieldCount = 5;

QString decoded(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return fromWindows1252(bytes);
}

// The fields of one line; *unclosed when a quoted field does not end on it.
QStringList splitFields(const QString &line, bool *unclosed)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c != QLatin1Char('"'))
                field += c;
            else if (i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"'))
                field += line.at(++i);
            else
                quoted = false;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(';')) {
            fields << field.trimmed();
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field.trimmed();
    *unclosed = quoted;
    return fields;
}

bool isHeader(const QStringList &fields)
{
    const QString first = fields.first().toLower();
    return first == QStringLiteral("descrição") || first == QLatin1String("descricao");
}

// The station of one line, or the problem with it.
std::optional<PolledStation> station(const QStringList &fields, QString *problem)
{
    if (fields.size() > FieldCount) {
        *problem = QStringLiteral("%1 campos; o máximo são %2 (descrição;host;porta;fuso;chave de senha)")
                       .arg(fields.size())
                       .arg(FieldCount);
        return std::nullopt;
    }
    const auto field = [&fields](int n) { return n < fields.size() ? fields.at(n) : QString(); };
    PolledStation polled;
    polled.description = field(0);
    if (polled.description.isEmpty()) {
        *problem = QStringLiteral("falta a descrição");
        return std::nullopt;
    }
    const QString host = field(1);
    if (host.isEmpty()) {
        *problem = QStringLiteral("falta o host");
        return std::nullopt;
    }
    // The port has a column of its own; only an IPv6 address holds colons here.
    const std::optional<StationAddress> address = parseHostAndPort(host);
    const bool ipv6 = address && QHostAddress(address->host).protocol() == QAbstractSocket::IPv6Protocol;
    if (!address || (ipv6 ? host.contains(QLatin1String("]:")) : host.contains(QLatin1Char(':')))) {
        *problem = QStringLiteral("host inválido: \"%1\" (um endereço IP ou nome de host; a porta vai na coluna "
                                  "seguinte)").arg(host);
        return std::nullopt;
    }
    polled.address = *address;
    if (!field(2).isEmpty()) {
        const std::optional<quint16> port = parsePortNumber(field(2));
        if (!port) {
            *problem = QStringLiteral("porta inválida: \"%1\" (de 1 a 65535)").arg(field(2));
            return std::nullopt;
        }
        polled.address.port = *port;
    }
    polled.timeZone = field(3);
    if (!polled.timeZone.isEmpty() && !QTimeZone(polled.timeZone.toUtf8()).isValid()) {
        *problem = QStringLiteral("fuso horário desconhecido: \"%1\" (um nome IANA, como America/Sao_Paulo)")
                       .arg(polled.timeZone);
        return std::nullopt;
    }
    polled.passwordKey = field(4);
    return polled;
}

} // namespace

StationsLoad parseFleet(const QByteArray &bytes)
{
    StationsLoad load;
    QString text = decoded(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList lines = text.split(QLatin1Char('\n'));
    QSet<QString> descriptions;
    bool first = true;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
            continue;
        const QString where = QStringLiteral("linha %1: ").arg(i + 1);
        bool unclosed = false;
        const QStringList fields = splitFields(line, &unclosed);
        if (unclosed) {
            load.problems << where + QStringLiteral("aspas sem fechamento");
            continue;
        }
        if (std::exchange(first, false) && isHeader(fields))
            continue;
        QString problem;
        const std::optional<PolledStation> polled = station(fields, &problem);
        if (!polled) {
            load.problems << where + problem;
            continue;
        }
        // Passwords, outcomes and the history tell stations apart by their description.
        if (descriptions.contains(polled->description.toLower())) {
            load.problems << where + QStringLiteral("o posto \"%1\" já está no arquivo").arg(polled->description);
            continue;
        }
        descriptions.insert(polled->description.toLower());
        load.stations << *polled;
    }
    if (load.problems.isEmpty() && load.stations.isEmpty())
        load.problems << QStringLiteral("nenhum posto no arquivo");
    return load;
}

StationsLoad readFleetFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        StationsLoad load;
        load.problems << QStringLiteral("arquivo de frota %1: %2").arg(path, file.errorString());
        return load;
    }
    if (file.size() > LargestFile) {
        StationsLoad load;
        load.problems << QStringLiteral("arquivo de frota %1: grande demais para um arquivo de frota").arg(path);
        return load;
    }
    StationsLoad load = parseFleet(file.readAll());
    for (QString &problem : load.problems)
        problem = QStringLiteral("%1: %2").arg(path, problem);
    return load;
}
