#include "simulator/reply_faults.h"

#include "protocol/reply_layouts.h"
#include "simulator/field_format.h"
#include "simulator/reply_format.h"
#include "simulator/simulated_station.h"

#include <algorithm>
#include <utility>

namespace {

const std::pair<const char *, ReplyFault> Names[] = {
    {"short", ReplyFault::Short},
    {"long", ReplyFault::Long},
    {"long:product", ReplyFault::LongProduct},
    {"wrong-tank", ReplyFault::OtherTank},
    {"wrong-tank:zero", ReplyFault::ZeroTank},
    {"wrong-tank:negative", ReplyFault::NegativeTank},
    {"wrong-tank:twice", ReplyFault::RepeatedTank},
    {"control-bytes", ReplyFault::ControlBytes},
    {"echo", ReplyFault::Echo},
    {"endless-series", ReplyFault::EndlessSeries},
    {"impossible-clock", ReplyFault::ClockTime},
    {"impossible-clock:date", ReplyFault::ClockDate},
    {"impossible-clock:zero-date", ReplyFault::ClockZeroDate},
    {"impossible-clock:weekday-00", ReplyFault::ClockWeekday00},
    {"impossible-clock:weekday-99", ReplyFault::ClockWeekday99},
};

// A field of a reply body, counted from 0 at the first letter of the code: the protocol's layout,
// whose positions count from the frame's STX.
struct Field {
    int at;
    int width;
};

constexpr Field inBody(zelta::ReplyField field)
{
    return {int(field.position) - 2, int(field.width)};
}

constexpr Field ErrorCode = inBody(zelta::fields::ErrorCode);
constexpr Field Version = inBody(zelta::fields::Version);
constexpr Field TankCount = inBody(zelta::fields::TankCount);
constexpr Field Ofe = inBody(zelta::fields::Ofe);
constexpr Field ClockTime = inBody(zelta::fields::ClockTime);
constexpr Field ClockDate = inBody(zelta::fields::ClockDate);
constexpr Field Weekday = inBody(zelta::fields::ClockDay);
constexpr Field Sensors = inBody(zelta::fields::SensorsBar1);
constexpr Field Tank = inBody(zelta::fields::Tank);
constexpr Field Product = inBody(zelta::fields::Product);
constexpr Field Measured = inBody(zelta::fields::Measured);
constexpr Field ScheduledVolume = inBody(zelta::fields::ScheduledVolume);
constexpr Field ScheduledTank = inBody(zelta::fields::ScheduledTank);

// Far wider than any field of any reply.
constexpr int OverlongWidth = 13;

// A control byte for every place a careless reader could let one through: NUL ends C strings,
// ESC starts terminal sequences, LF breaks lines.
const QByteArray ControlBytes("\0\x1b\n", 3);

// Odd tanks: an OSC sequence (a terminal's window title) among bare control bytes. Even tanks:
// a spreadsheet formula, as far as the 11 characters of the field take it.
const QByteArray ControlProduct("GAS\0\x1b\n\x1b]0;\x07", 11);
const QByteArray FormulaProduct("=cmd|' /C calc'!A0");

constexpr quint32 MinutesInDay = 24 * 60;

enum class Kind { Error, Identification, Configuration, Clock, Sensors, Measurement, Scheduled, Other };

Kind kindOf(const QByteArray &body)
{
    if (body.size() == 5 && body.at(2) == 'E')
        return Kind::Error;
    const QByteArray code = body.left(2);
    if (code == "ID")
        return Kind::Identification;
    if (code == "CF")
        return Kind::Configuration;
    if (code == "LR" || code == "AR")
        return Kind::Clock;
    if (code == "LS")
        return Kind::Sensors;
    if (code == "MT" || code == "LM" || code == "MA")
        return Kind::Measurement;
    if (code == "MP")
        return Kind::Scheduled;
    return Kind::Other;
}

void replace(QByteArray &body, Field field, const QByteArray &with)
{
    if (body.size() >= field.at + field.width)
        body.replace(field.at, field.width, with);
}

// What a short reply keeps: the code and its first field, or less.
QByteArray cut(const QByteArray &body)
{
    switch (kindOf(body)) {
    case Kind::Error: return body.left(ErrorCode.at + 1);
    case Kind::Identification: return body.left(Version.at);
    case Kind::Configuration: return body.left(Ofe.at);
    case Kind::Clock: return body.left(ClockDate.at);
    case Kind::Sensors: return body.left(Sensors.at);
    case Kind::Measurement: return body.left(Product.at + Product.width);
    case Kind::Scheduled: return body.left(ScheduledVolume.at);
    case Kind::Other: break;
    }
    return body;
}

// The field a long reply overfills, and the one that takes control bytes.
std::optional<Field> overlongField(Kind kind)
{
    switch (kind) {
    case Kind::Error: return ErrorCode;
    case Kind::Identification: return Version;
    case Kind::Configuration: return Ofe;
    case Kind::Clock: return ClockTime;
    case Kind::Sensors: return Sensors;
    case Kind::Measurement: return Measured;
    case Kind::Scheduled: return ScheduledVolume;
    case Kind::Other: break;
    }
    return std::nullopt;
}

std::optional<Field> controlField(Kind kind)
{
    switch (kind) {
    case Kind::Error: return ErrorCode;
    case Kind::Identification: return Version;
    case Kind::Configuration: return TankCount;
    case Kind::Clock: return Weekday;
    case Kind::Sensors: return Sensors;
    case Kind::Measurement: return Product;
    case Kind::Scheduled: return ScheduledTank;
    case Kind::Other: break;
    }
    return std::nullopt;
}

QByteArray overfilled(const QByteArray &body)
{
    QByteArray spoiled = body;
    if (const std::optional<Field> field = overlongField(kindOf(body)))
        replace(spoiled, *field, QByteArray(std::max(OverlongWidth, field->width + 1), '9'));
    return spoiled;
}

QByteArray withControlBytes(const QByteArray &body)
{
    QByteArray spoiled = body;
    const Kind kind = kindOf(body);
    const std::optional<Field> field = controlField(kind);
    if (!field)
        return spoiled;
    if (kind == Kind::Measurement)
        replace(spoiled, *field,
                body.mid(Tank.at, Tank.width).toInt() % 2 == 1 ? ControlProduct : FormulaProduct.left(field->width));
    else
        replace(spoiled, *field, ControlBytes.repeated(field->width).left(field->width));
    return spoiled;
}

QByteArray withLongProduct(const QByteArray &body)
{
    QByteArray spoiled = body;
    if (kindOf(body) == Kind::Measurement)
        spoiled.insert(Product.at + Product.width, 'X');
    return spoiled;
}

Field tankField(Kind kind)
{
    return kind == Kind::Scheduled ? ScheduledTank : Tank;
}

bool hasTank(Kind kind)
{
    return kind == Kind::Measurement || kind == Kind::Scheduled;
}

// The first reply that names a tank, named for another; the rest as they were.
QList<QByteArray> withWrongTank(ReplyFault fault, QList<QByteArray> bodies)
{
    const auto first = std::find_if(bodies.begin(), bodies.end(),
                                    [](const QByteArray &body) { return hasTank(kindOf(body)); });
    if (first == bodies.end())
        return bodies;
    const Field field = tankField(kindOf(*first));
    QByteArray tank;
    if (fault == ReplyFault::OtherTank)
        tank = zeroPadded((first->mid(field.at, field.width).toInt() - 1 + 8) % SimulatedStation::MaxTanks + 1, 3);
    else if (fault == ReplyFault::ZeroTank)
        tank = "000";
    else
        tank = "-01";
    replace(*first, field, tank);
    return bodies;
}

QList<QByteArray> withRepeatedTank(QList<QByteArray> bodies)
{
    if (bodies.size() >= 2 && kindOf(bodies.at(0)) == Kind::Measurement
        && kindOf(bodies.at(1)) == Kind::Measurement && bodies.at(0).startsWith("MA"))
        replace(bodies[1], Tank, bodies.at(0).mid(Tank.at, Tank.width));
    return bodies;
}

QByteArray withImpossibleClock(ReplyFault fault, const QByteArray &body)
{
    QByteArray spoiled = body;
    if (kindOf(body) != Kind::Clock)
        return spoiled;
    switch (fault) {
    case ReplyFault::ClockTime: replace(spoiled, ClockTime, "256100"); break;
    case ReplyFault::ClockDate: replace(spoiled, ClockDate, "3102" + body.mid(ClockDate.at + 4, 2)); break;
    case ReplyFault::ClockZeroDate: replace(spoiled, ClockDate, "000000"); break;
    case ReplyFault::ClockWeekday00: replace(spoiled, Weekday, "00"); break;
    case ReplyFault::ClockWeekday99: replace(spoiled, Weekday, "99"); break;
    default: break;
    }
    return spoiled;
}

} // namespace

QStringList replyFaultNames()
{
    QStringList names;
    for (const auto &[name, fault] : Names)
        names << QString::fromLatin1(name);
    return names;
}

std::optional<ReplyFault> replyFaultNamed(const QString &name)
{
    for (const auto &[known, fault] : Names) {
        if (name == QLatin1String(known))
            return fault;
    }
    return std::nullopt;
}

QList<QByteArray> spoiledReplies(ReplyFault fault, QList<QByteArray> bodies)
{
    switch (fault) {
    case ReplyFault::OtherTank:
    case ReplyFault::ZeroTank:
    case ReplyFault::NegativeTank:
        return withWrongTank(fault, std::move(bodies));
    case ReplyFault::RepeatedTank:
        return withRepeatedTank(std::move(bodies));
    case ReplyFault::None:
    case ReplyFault::Echo:
    case ReplyFault::EndlessSeries:
        return bodies;
    default:
        break;
    }
    for (QByteArray &body : bodies) {
        if (fault == ReplyFault::Short)
            body = cut(body);
        else if (fault == ReplyFault::Long)
            body = overfilled(body);
        else if (fault == ReplyFault::LongProduct)
            body = withLongProduct(body);
        else if (fault == ReplyFault::ControlBytes)
            body = withControlBytes(body);
        else
            body = withImpossibleClock(fault, body);
    }
    return bodies;
}

QByteArray endlessRecord(const QDate &date, quint32 index)
{
    const int minute = int(index % MinutesInDay);
    return scheduledReply(date, {QTime(0, 0).addSecs(minute * 60), 1, 1000 + minute}, true);
}
