#include "poll/fleet_file.h"

#include "codec/file_text.h"
#include "codec/shown_value.h"
#include "codec/windows1252.h"
#include "poll/problem_list.h"

#include <QFile>
#include <QHostAddress>
#include <QSet>
#include <QStringDecoder>
#include <QTimeZone>

#include <algorithm>
#include <utility>

namespace {

// Far beyond any fleet; larger is not a fleet file.
constexpr qint64 LargestFile = 16 * 1024 * 1024;
constexpr int FieldCount = 5;

// Whether the whole text is UTF-8, read in slices so that it is never decoded whole.
bool isUtf8(QByteArrayView bytes)
{
    constexpr qsizetype Slice = 64 * 1024;
    QStringDecoder utf8(QStringDecoder::Utf8);
    for (qsizetype at = 0; at < bytes.size() && !utf8.hasError(); at += Slice)
        (void)QString(utf8(bytes.sliced(at, std::min(Slice, bytes.size() - at))));
    return !utf8.hasError();
}

// A zone name is looked up once: a file repeats the same few, and each lookup reads the system's
// zone database.
class ZoneNames {
public:
    bool known(const QString &name)
    {
        const auto found = known_.constFind(name);
        if (found != known_.cend())
            return *found;
        const bool valid = QTimeZone(name.toUtf8()).isValid();
        // A file of made-up names does not grow the cache beyond what a fleet uses.
        if (known_.size() < 1000)
            known_.insert(name, valid);
        return valid;
    }

private:
    QHash<QString, bool> known_;
};

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
std::optional<PolledStation> station(const QStringList &fields, ZoneNames &zones, QString *problem)
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
        *problem = QStringLiteral("host inválido: %1 (um endereço IP ou nome de host; a porta vai na coluna "
                                  "seguinte)").arg(shownValue(host));
        return std::nullopt;
    }
    polled.address = *address;
    if (!field(2).isEmpty()) {
        const std::optional<quint16> port = parsePortNumber(field(2));
        if (!port) {
            *problem = QStringLiteral("porta inválida: %1 (de 1 a 65535)").arg(shownValue(field(2)));
            return std::nullopt;
        }
        polled.address.port = *port;
    }
    polled.timeZone = field(3);
    if (!polled.timeZone.isEmpty() && !zones.known(polled.timeZone)) {
        *problem = QStringLiteral("fuso horário desconhecido: %1 (um nome IANA, como America/Sao_Paulo)")
                       .arg(shownValue(polled.timeZone));
        return std::nullopt;
    }
    polled.passwordKey = field(4);
    return polled;
}

} // namespace

StationsLoad parseFleet(const QByteArray &bytes)
{
    StationsLoad load;
    ProblemList problems(&load.problems);
    const bool utf8 = isUtf8(bytes);
    ZoneNames zones;
    QSet<QString> descriptions;
    bool first = true;
    qsizetype lineStart = 0;
    // Line by line, so that what stays in memory is the stations, not the file's text.
    for (int number = 1; lineStart < bytes.size(); ++number) {
        qsizetype lineEnd = bytes.indexOf('\n', lineStart);
        if (lineEnd < 0)
            lineEnd = bytes.size();
        QByteArrayView raw = QByteArrayView(bytes).sliced(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (number == 1 && raw.startsWith("\xEF\xBB\xBF"))
            raw = raw.sliced(3);
        if (raw.endsWith('\r'))
            raw.chop(1);
        const QString line = utf8 ? QString::fromUtf8(raw) : fromWindows1252(std::string_view(raw.data(), std::size_t(raw.size())));
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
            continue;
        const QString where = QStringLiteral("linha %1: ").arg(number);
        bool unclosed = false;
        const QStringList fields = splitFields(line, &unclosed);
        if (unclosed) {
            problems.add(where + QStringLiteral("aspas sem fechamento"));
            continue;
        }
        if (std::exchange(first, false) && isHeader(fields))
            continue;
        QString problem;
        const std::optional<PolledStation> polled = station(fields, zones, &problem);
        if (!polled) {
            problems.add(where + problem);
            continue;
        }
        // Passwords, outcomes and the history tell stations apart by their description.
        if (descriptions.contains(polled->description.toLower())) {
            problems.add(where + QStringLiteral("o posto %1 já está no arquivo").arg(shownValue(polled->description)));
            continue;
        }
        descriptions.insert(polled->description.toLower());
        load.stations << *polled;
    }
    problems.finish();
    if (load.problems.isEmpty() && load.stations.isEmpty())
        load.problems << QStringLiteral("nenhum posto no arquivo");
    return load;
}

StationsLoad readFleetFile(const QString &path)
{
    StationsLoad load;
    QFile file(path);
    QString problem;
    if (!openRegularFile(file, &problem)) {
        load.problems << QStringLiteral("arquivo de frota %1").arg(problem);
        return load;
    }
    if (file.size() > LargestFile) {
        load.problems << QStringLiteral("arquivo de frota %1: grande demais para um arquivo de frota").arg(shownPath(path));
        return load;
    }
    load = parseFleet(file.readAll());
    for (QString &problem : load.problems)
        problem = QStringLiteral("%1: %2").arg(shownPath(path), problem);
    return load;
}
