#include "operator_windows.h"

#include "dialogs/form4.h"
#include "stations/station_file_writer.h"
#include "console_fixture.h"
#include "simulated_console.h"
#include "dialogs/form3.h"
#include "dialogs/form6.h"
#include "reports/form2.h"
#include "reports/form5.h"

#include <QTest>

namespace {

// Every tank read, products alternating, so that every panel and total row is on show.
void readSixteenTanks(StationReadings &readings)
{
    static const char *const Products[] = {"GASOLINA", "DIESEL S10", "ETANOL"};
    readings.setStation(QStringLiteral("Posto Centro"));
    readings.setTankCount(16);
    for (int tank = 1; tank <= 16; ++tank)
        readings.keepReading(tank, {QStringLiteral("%1").arg(tank, 3, 10, QLatin1Char('0')), QStringLiteral(" 12345"),
                                    QStringLiteral(" 2345"), QStringLiteral(" 0.75"),
                                    QString::fromLatin1(Products[tank % 3]), QStringLiteral("010224"),
                                    QStringLiteral("103000")});
}

ScheduledTable threeRecords()
{
    ScheduledTable table;
    for (int k = 0; k < 3; ++k)
        table[k] = {QStringLiteral("311224"), QStringLiteral("153000"), QString::number(1000 + k),
                    QStringLiteral("00%1").arg(k + 1)};
    return table;
}

} // namespace

QStringList OperatorWindow::forms()
{
    return {QStringLiteral("Form1"), QStringLiteral("Form2"), QStringLiteral("Form3"),
            QStringLiteral("Form4"), QStringLiteral("Form5"), QStringLiteral("Form6")};
}

OperatorWindow::OperatorWindow(const QString &form)
{
    if (form == QLatin1String("Form1")) {
        console_ = std::make_unique<ConsoleFixture>(
            QList<ConsoleFixture::Station>{{QStringLiteral("Posto Centro"), QStringLiteral("127.0.0.150")}});
        window_ = &console_->console();
    } else if (form == connectedConsole()) {
        SimulatedStation station;
        for (int number = 1; number <= SimulatedStation::MaxTanks; ++number)
            station.tanks[number] = SimulatedTank{};
        simulated_ = std::make_unique<SimulatedConsole>(QStringLiteral("127.0.0.151"), station);
        if (!simulated_->openDialogue())
            qFatal("the simulated controller did not open the dialogue");
        window_ = &simulated_->console();
    } else {
        if (form == QLatin1String("Form2")) {
            readSixteenTanks(readings_);
            owned_ = std::make_unique<Form2>(readings_);
        } else if (form == QLatin1String("Form3")) {
            owned_ = std::make_unique<Form3>();
        } else if (form == QLatin1String("Form4")) {
            stations_.entry(1) = {QStringLiteral("Posto Centro"), QStringLiteral("10.0.0.1"), QStringLiteral("4001")};
            const Result<void, StationFileProblem> saved = saveStationFile(directory_.path() + QLatin1Char('/'), stations_);
            if (!saved)
                qFatal("station file: %s", qPrintable(stationFileProblemText(saved.error())));
            owned_ = std::make_unique<Form4>(stations_, directory_.path() + QLatin1Char('/'));
        } else if (form == QLatin1String("Form5")) {
            owned_ = std::make_unique<Form5>(threeRecords(), 3, QStringLiteral("311224"));
        } else if (form == QLatin1String("Form6")) {
            owned_ = std::make_unique<Form6>();
        } else {
            qFatal("no window %s", qPrintable(form));
        }
        window_ = owned_.get();
        window_->show();
    }
    window_->activateWindow();
    if (!QTest::qWaitForWindowActive(window_))
        qWarning("%s did not become active", qPrintable(form));
}

OperatorWindow::~OperatorWindow() = default;
