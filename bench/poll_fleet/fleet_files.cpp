#include "fleet_files.h"

#include <QFile>

QByteArray stationFileText()
{
    QByteArray text = "[station]\naddress = A01\nofe = 5230\nmeter type = 1\n\n";
    for (int tank = 1; tank <= TanksPerStation; ++tank) {
        text += QStringLiteral("[tank %1]\nproduct = GASOLINA\ncapacity = 30000\nmeasured = %2\ndensity = 0.74\n"
                               "level = %3\nexpansion = 0.0012\n\n")
                    .arg(tank)
                    .arg(10000 + 1000 * tank)
                    .arg(800 + 100 * tank)
                    .toLatin1();
    }
    return text + "[sensors]\ncount = 8\nbar 1 = active\n";
}

QByteArray fleetFileText(const QList<QHostAddress> &addresses)
{
    QByteArray text = "descrição;host;porta\n";
    for (qsizetype i = 0; i < addresses.size(); ++i)
        text += QStringLiteral("Posto %1;%2;4001\n")
                    .arg(i + 1, 4, 10, QLatin1Char('0'))
                    .arg(addresses.at(i).toString())
                    .toUtf8();
    return text;
}

QList<QHostAddress> addressesFrom(const QHostAddress &first, int count)
{
    QList<QHostAddress> addresses;
    for (int i = 0; i < count; ++i)
        addresses << QHostAddress(first.toIPv4Address() + quint32(i));
    return addresses;
}

bool writePrivateFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size()
        && file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) && file.flush();
}
