// The history window for one tank over 1 and 10 years of hourly readings: from the operator's
// choice of the tank until its chart and its table are filled and painted, timed beside the
// sqlite3 tool running the window's SQL on the very same file.
#include "common/elapsed.h"
#include "common/headless.h"
#include "history/history_chart.h"
#include "history/history_rows_model.h"
#include "history/history_window.h"
#include "store/history_sql.h"
#include "store/history_store.h"
#include "store_common/bench_readings.h"
#include "store_common/median_time.h"
#include "store_common/sqlite_tool.h"
#include "store_common/ten_years_file.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDateTimeEdit>
#include <QEvent>
#include <QLineSeries>
#include <QTableView>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>
#include <vector>

namespace {

// Tells when the chart's line and the table have been given their rows and then painted, and
// how long after the question each was painted.
class FillWatch : public QObject {
public:
    FillWatch(HistoryChart *chart, QTableView *table) : chart_(chart->viewport()), table_(table->viewport())
    {
        const auto *line = qobject_cast<QLineSeries *>(chart->chart()->series().value(0));
        connect(line, &QXYSeries::pointsReplaced, this, [this, line] { chartFilled_ = line->count() > 0; });
        connect(table->model(), &QAbstractItemModel::rowsInserted, this, [this] { tableFilled_ = true; });
        chart_->installEventFilter(this);
        table_->installEventFilter(this);
    }

    void ask()
    {
        asked_ = BenchClock::now();
        chartFilled_ = tableFilled_ = chartPainted_ = tablePainted_ = false;
        chartPaintedMs_.reset();
        tablePaintedMs_.reset();
    }
    // After a pass of the event loop, whose paint events have ended by now.
    void notePainted()
    {
        const double ms = millisecondsBetween(asked_, BenchClock::now());
        if (chartPainted_ && !chartPaintedMs_)
            chartPaintedMs_ = ms;
        if (tablePainted_ && !tablePaintedMs_)
            tablePaintedMs_ = ms;
    }
    bool done() const { return chartPaintedMs_ && tablePaintedMs_; }
    double chartPaintedMs() const { return chartPaintedMs_.value_or(0); }
    double tablePaintedMs() const { return tablePaintedMs_.value_or(0); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            chartPainted_ = chartPainted_ || (watched == chart_ && chartFilled_);
            tablePainted_ = tablePainted_ || (watched == table_ && tableFilled_);
        }
        return false;
    }

private:
    QObject *chart_;
    QObject *table_;
    BenchClock::time_point asked_;
    bool chartFilled_ = false;
    bool tableFilled_ = false;
    bool chartPainted_ = false;
    bool tablePainted_ = false;
    std::optional<double> chartPaintedMs_;
    std::optional<double> tablePaintedMs_;
};

void choose(QComboBox *box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// The window on tank 1 over `hours` from the first reading, the fields set as an operator would.
void measure(HistoryWindow &window, FillWatch &watch, const QString &tool, const QString &path, int hours, int runs)
{
    const QDateTime from = benchStart();
    const QDateTime to = from.addSecs(qint64(hours) * 3600);
    choose(window.findChild<QComboBox *>(QStringLiteral("Periodo")), HistoryWindow::Between);
    // The fields hold the station's wall-clock time, which is UTC.
    window.findChild<QDateTimeEdit *>(QStringLiteral("De"))->setDateTime(QDateTime(from.date(), from.time()));
    window.findChild<QDateTimeEdit *>(QStringLiteral("Ate"))->setDateTime(QDateTime(to.date(), to.time()));

    auto *tank = window.findChild<QComboBox *>(QStringLiteral("Tanque"));
    std::vector<double> chartMs;
    std::vector<double> tableMs;
    const double windowMs = medianMs(runs, [&] {
        watch.ask();
        choose(tank, 0);
        while (!watch.done()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            watch.notePainted();
        }
        chartMs.push_back(watch.chartPaintedMs());
        tableMs.push_back(watch.tablePaintedMs());
    });
    // The first run only warmed the cache.
    chartMs.erase(chartMs.begin());
    tableMs.erase(tableMs.begin());

    SeriesRequest request;
    request.stationId = 1;
    request.tank = 1;
    request.from = from;
    request.to = to;
    QVariantMap parameters = tankParameters(request);
    parameters.insert(QStringLiteral("limit"), HistoryRowsModel::PageSize);
    parameters.insert(QStringLiteral("offset"), 0);
    const QStringList windowSql{HistorySql::tankSeries(request.value), HistorySql::tankRowCount(),
                                HistorySql::tankRows()};
    const double toolMs = sqliteToolMs(tool, path, windowSql, parameters, runs);

    const auto *chart = window.findChild<HistoryChart *>(QStringLiteral("Grafico"));
    const auto *rows = qobject_cast<const HistoryRowsModel *>(
        window.findChild<QTableView *>(QStringLiteral("Leituras"))->model());
    std::printf("One tank, %d hourly readings: chart %lld points drawn, table %d of %d rows fetched\n", hours,
                qlonglong(chart->shownPoints().size()), rows->rowCount(), rows->total());
    printBesideTool("choice to chart and table painted", windowMs, toolMs);
    std::printf("  of which: chart painted after %.1f ms, table after %.1f ms (medians)\n", quantile(chartMs, 0.5),
                quantile(tableMs, 0.5));
}

} // namespace

int main(int argc, char *argv[])
{
    preferOffscreenPlatform();
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The history window beside the sqlite3 tool."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("tanks"), QStringLiteral("Tanks in the file (8)."), QStringLiteral("n"),
                      QStringLiteral("8")});
    parser.addOption({QStringLiteral("runs"), QStringLiteral("Timed runs of each (10)."), QStringLiteral("n"),
                      QStringLiteral("10")});
    parser.process(app);
    const int runs = parser.value(QStringLiteral("runs")).toInt();
    const QString tool = sqliteTool();
    if (tool.isEmpty())
        return 1;

    QTemporaryDir directory;
    const QString path = HistoryStore::filePathIn(directory.path() + QLatin1Char('/'));
    if (!fillTenYears(path, parser.value(QStringLiteral("tanks")).toInt()))
        return 1;

    HistoryWindow window(path);
    window.show();
    auto *tank = window.findChild<QComboBox *>(QStringLiteral("Tanque"));
    while (tank->count() == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    FillWatch watch(window.findChild<HistoryChart *>(QStringLiteral("Grafico")),
                    window.findChild<QTableView *>(QStringLiteral("Leituras")));
    measure(window, watch, tool, path, 8760, runs);
    measure(window, watch, tool, path, TenYearsOfHours, runs);
    return 0;
}
