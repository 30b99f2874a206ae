#include "stations.h"

// Plain literals, not QStrings: tests build their own constants from these texts during static
// initialisation, when a QString of this file may not be made yet.
namespace {

constexpr QLatin1String GasolinaTank("\n[tank 1]\nproduct = GASOLINA\ncapacity = 30000\nmeasured = 18250\n");

// GasolinaTank with every field of a measurement.
QString measuredGasolinaTank()
{
    return QString(GasolinaTank)
        + QStringLiteral("volume at 20 = 18130\ndensity = 0.74\nlevel = 1420\nexpansion = 0.0012\n"
                         "last measurement = 01/03/2024 06:00:00\n");
}

// 2,000 kg of ARLA in 5,000, measured by weight.
QString arlaTank(int number)
{
    return QStringLiteral("\n[tank ") + QString::number(number)
        + QStringLiteral("]\nproduct = ARLA\ncapacity = 5000\nmeasured = 2000\nby weight = yes\ndensity = 1.09\n"
                         "level = 800\n");
}

constexpr QLatin1String ErrorTanks(R"(
[tank 1]
product = DIESEL
capacity = 10000
measured = 5000

[tank 2]
product = DIESEL
enabled = no

[tank 3]
product = GASOLINA
capacity = 10000
measured = 3000
probe = offline
)");

} // namespace

QString twoTankStation()
{
    return QStringLiteral("\n[station]\nofe = %1\npassword = Zelta\n") + GasolinaTank
        + QStringLiteral("\n[tank 2]\nproduct = DIESEL\ncapacity = 15000\nmeasured = 4100\n");
}

QString oneTankStation()
{
    return QStringLiteral("\n[station]\nofe = %1\n\n[tank 1]\nproduct = GASOLINA\ncapacity = 10000\nmeasured = 5000\n");
}

QString smallStation()
{
    return QStringLiteral("\n[station]\nofe = 185\n") + GasolinaTank;
}

QString errorRepliesStation()
{
    return QStringLiteral("\n[station]\nofe = %1\n") + ErrorTanks;
}

QString passwordErrorRepliesStation()
{
    return QStringLiteral("\n[station]\npassword = Zelta\n") + ErrorTanks
        + QStringLiteral("last measurement = 01/03/2024 06:00:00\n");
}

QString threeTankStation()
{
    return QStringLiteral("\n[station]\nofe = 4127\nmeter type = 2\n") + measuredGasolinaTank()
        + QStringLiteral("\n[tank 2]\nproduct = GASOLINA\ncapacity = 15000\nmeasured = 4100\ndensity = 0.74\n"
                         "expansion = 0.0012\n")
        + arlaTank(3) + QStringLiteral(R"(
[sensors]
count = 6
bar 1 = active
sensor 2 = short
sensor 4 = leak
sensor 6 = open

[schedule 31/12/2024]
measurement = 06:00:00 1 18900
measurement = 18:30:00 3 2100
)");
}

QString gasolinaArlaStation()
{
    return QStringLiteral("\n[station]\nofe = 4190\n") + measuredGasolinaTank() + arlaTank(2)
        + QStringLiteral("\n[sensors]\ncount = 4\nbar 1 = active\nsensor 2 = short\nsensor 4 = leak\n");
}

QString disabledTankStation()
{
    return QStringLiteral("\n[station]\nofe = 4191\n\n[tank 1]\nproduct = DIESEL\nenabled = no\n");
}

QString hostileStation()
{
    return QStringLiteral("\n[station]\nofe = 4300\npassword = TOPSECRET42\n") + GasolinaTank
        + QStringLiteral(R"(density = 0.74
level = 1420
last measurement = 01/03/2024 06:00:00

[tank 2]
product = DIESEL
capacity = 30000
measured = 22400
density = 0.84
level = 1735
last measurement = 01/03/2024 06:00:00

[sensors]
count = 4
bar 1 = active
bar 2 = active

[schedule 01/03/2024]
measurement = 06:00:00 1 21000
measurement = 18:30:00 2 6400
)");
}
