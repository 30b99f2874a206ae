#include "history/history_window.h"

#include "codec/counted.h"
#include "export/export_file_name.h"
#include "export/save_dialog.h"
#include "history/alarms_deliveries_view.h"
#ifdef COMZELTA_WITH_CHARTS
#include "history/history_chart.h"
#endif
#include "history/history_csv.h"
#include "history/history_rows_model.h"
#include "history/station_time.h"
#include "printing/window_printer.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// A reading stamped by a controller clock a little ahead of the PC's still counts as recent.
constexpr int ClockAheadSecs = 5 * 60;

struct SeriesChoice {
    const char *name;
    SeriesValue value;
};
constexpr SeriesChoice SeriesChoices[] = {
    {"Vol. Medido", SeriesValue::Measured},
    {"Vol. Medido a 20°C", SeriesValue::Volume20},
    {"Nível Produto", SeriesValue::LevelMm},
    {"Vol. Complementar", SeriesValue::Complementary},
};

// A combo box or date field with its label, both named for the accessibility tree.
template <class Field>
Field *labelled(QGridLayout *grid, int row, int column, const QString &text, const QString &name, QWidget *parent)
{
    auto *field = new Field(parent);
    field->setObjectName(name);
    field->setAccessibleName(text);
    auto *label = new QLabel(text + QLatin1Char(':'), parent);
    label->setObjectName(QStringLiteral("Rotulo_") + name);
    label->setBuddy(field);
    grid->addWidget(label, row, column);
    grid->addWidget(field, row, column + 1);
    return field;
}

QPushButton *button(const QString &text, const QString &name, QWidget *parent)
{
    auto *result = new QPushButton(text, parent);
    result->setObjectName(name);
    result->setAccessibleName(text);
    return result;
}

}  // namespace

HistoryWindow::HistoryWindow(const DatabaseLocation &history, QWidget *parent)
    : QWidget(parent, Qt::Window), reader_(new HistoryReader(history, this)),
      zone_(QTimeZone::systemTimeZone())
{
    setObjectName(QStringLiteral("Historico"));
    setWindowTitle(QStringLiteral("Histórico de Medições"));
    setAccessibleName(windowTitle());

    auto *choices = new QGridLayout;
    station_ = labelled<QComboBox>(choices, 0, 0, QStringLiteral("Local"), QStringLiteral("Local"), this);
    subject_ = labelled<QComboBox>(choices, 0, 2, QStringLiteral("Tanque ou produto"), QStringLiteral("Tanque"), this);
    value_ = labelled<QComboBox>(choices, 0, 4, QStringLiteral("Série"), QStringLiteral("Serie"), this);
    period_ = labelled<QComboBox>(choices, 1, 0, QStringLiteral("Período"), QStringLiteral("Periodo"), this);
    from_ = labelled<QDateTimeEdit>(choices, 1, 2, QStringLiteral("De"), QStringLiteral("De"), this);
    to_ = labelled<QDateTimeEdit>(choices, 1, 4, QStringLiteral("Até"), QStringLiteral("Ate"), this);
    choices->setColumnStretch(1, 2);
    choices->setColumnStretch(3, 2);
    choices->setColumnStretch(5, 1);
    station_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    period_->addItems({QStringLiteral("24 h"), QStringLiteral("7 dias"), QStringLiteral("30 dias"),
                       QStringLiteral("De – até")});
    for (const SeriesChoice &choice : SeriesChoices)
        value_->addItem(QString::fromUtf8(choice.name));
    for (QDateTimeEdit *edit : {from_, to_}) {
        edit->setDisplayFormat(QStringLiteral("dd/MM/yyyy HH:mm"));
        edit->setCalendarPopup(true);
        edit->setEnabled(false);
    }
    shown_ = currentRequest();
    showPeriod();

#ifdef COMZELTA_WITH_CHARTS
    chart_ = new HistoryChart(this);
    chart_->setObjectName(QStringLiteral("Grafico"));
    chart_->setAccessibleName(QStringLiteral("Gráfico"));
    chart_->setMinimumHeight(220);
#endif

    rows_ = new HistoryRowsModel(reader_, this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("Leituras"));
    table_->setAccessibleName(QStringLiteral("Leituras"));
    table_->setModel(rows_);
    table_->verticalHeader()->hide();
    // One line of text a row: the style's default leaves room for two, and half the rows.
    const int rowHeight = table_->fontMetrics().height() + 4;
    table_->verticalHeader()->setMinimumSectionSize(rowHeight);
    table_->verticalHeader()->setDefaultSectionSize(rowHeight);
    table_->setWordWrap(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    // Sized by the first page; the operator may widen them.
    connect(rows_, &QAbstractItemModel::rowsInserted, table_, &QTableView::resizeColumnsToContents);
    connect(rows_, &HistoryRowsModel::totalCounted, this, &HistoryWindow::showCount);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);

    alarmsAndDeliveries_ = new AlarmsDeliveriesView(this);
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("Abas"));
    tabs->setAccessibleName(QStringLiteral("Leituras, alarmes e entregas"));
    tabs->addTab(table_, QStringLiteral("Leituras"));
    tabs->addTab(alarmsAndDeliveries_, QStringLiteral("Alarmes e Entregas"));

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("Estado"));
    status_->setAccessibleName(QStringLiteral("Estado da consulta"));

    auto *exportButton = button(QStringLiteral("Exportar CSV"), QStringLiteral("Exportar_CSV"), this);
    auto *printButton = button(QStringLiteral("Imprimir"), QStringLiteral("Imprimir"), this);
    auto *closeButton = button(QStringLiteral("Fechar"), QStringLiteral("Fechar"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(status_, 1);
    buttons->addWidget(exportButton);
    buttons->addWidget(printButton);
    buttons->addWidget(closeButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choices);
#ifdef COMZELTA_WITH_CHARTS
    layout->addWidget(chart_, 3);
    layout->addWidget(tabs, 2);
#else
    auto *noChart = new QLabel(QStringLiteral("Gráfico indisponível: este console foi compilado sem o Qt Charts. "
                                              "As leituras estão na tabela abaixo."),
                               this);
    noChart->setObjectName(QStringLiteral("Grafico"));
    noChart->setWordWrap(true);
    layout->addWidget(noChart);
    layout->addWidget(tabs, 1);
#endif
    layout->addLayout(buttons);
    resize(900, 680);

    connect(reader_, &HistoryReader::stationsReady, this, &HistoryWindow::showStations);
    connect(reader_, &HistoryReader::stationContentsReady, this, &HistoryWindow::showStationContents);
    connect(reader_, &HistoryReader::seriesReady, this, &HistoryWindow::showSeries);
    connect(reader_, &HistoryReader::rowsReady, this, &HistoryWindow::saveExport);
    connect(reader_, &HistoryReader::alarmsAndDeliveriesReady, this, &HistoryWindow::showAlarmsAndDeliveries);
    connect(reader_, &HistoryReader::queryFailed, this, &HistoryWindow::showFailure);
    connect(station_, &QComboBox::activated, this, &HistoryWindow::askStationContents);
    for (QComboBox *box : {subject_, value_})
        connect(box, &QComboBox::activated, this, &HistoryWindow::refresh);
    connect(period_, &QComboBox::activated, this, [this] {
        for (QDateTimeEdit *edit : {from_, to_})
            edit->setEnabled(period_->currentIndex() == Between);
        refresh();
    });
    for (QDateTimeEdit *edit : {from_, to_})
        connect(edit, &QDateTimeEdit::dateTimeChanged, this, &HistoryWindow::refresh);
    connect(exportButton, &QPushButton::clicked, this, &HistoryWindow::exportCsv);
    connect(printButton, &QPushButton::clicked, this, [this] { printWindow(this); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    status_->setText(QStringLiteral("Consultando o histórico…"));
    stationsAsked_ = reader_->requestStations();
}

void HistoryWindow::showStations(int requestId, const QList<StoredStation> &stations)
{
    if (requestId != stationsAsked_)
        return;
    stations_ = stations;
    station_->clear();
    for (const StoredStation &station : stations)
        station_->addItem(station.description.isEmpty() ? station.host
                                                        : QStringLiteral("%1 (%2)").arg(station.description, station.host));
    if (stations.isEmpty()) {
        status_->setText(QStringLiteral("Nenhuma medição guardada ainda."));
        return;
    }
    station_->setCurrentIndex(0);
    askStationContents();
}

void HistoryWindow::askStationContents()
{
    const int index = station_->currentIndex();
    if (index < 0 || index >= stations_.size())
        return;
    zone_ = stationZone(stations_[index].timeZone);
    contentsAsked_ = reader_->requestStationContents(stations_[index].id);
}

// Each tank, then the totals of each product.
void HistoryWindow::showStationContents(int requestId, const StationContents &contents)
{
    if (requestId != contentsAsked_)
        return;
    subject_->clear();
    for (const StoredTank &tank : contents.tanks)
        subject_->addItem(QStringLiteral("Tanque %1 – %2").arg(tank.tank, 2, 10, QLatin1Char('0')).arg(tank.product.trimmed()),
                          tank.tank);
    for (const QString &product : contents.products)
        subject_->addItem(QStringLiteral("Total de %1").arg(product.trimmed()), product);
    refresh();
}

SeriesRequest HistoryWindow::currentRequest() const
{
    SeriesRequest request;
    request.stationId = stations_.value(station_->currentIndex()).id;
    const QVariant subject = subject_->currentData();
    if (subject.typeId() == QMetaType::Int)
        request.tank = subject.toInt();
    else
        request.product = subject.toString();
    request.value = SeriesChoices[std::max(0, value_->currentIndex())].value;

    const QDateTime now = QDateTime::currentDateTimeUtc();
    static constexpr int Days[] = {1, 7, 30};
    // The fields show whole minutes, so the period is of whole minutes too.
    const auto shownMinute = [this](const QDateTimeEdit *edit) {
        return QDateTime(edit->date(), QTime(edit->time().hour(), edit->time().minute()), zone_).toUTC();
    };
    if (period_->currentIndex() == Between) {
        request.from = shownMinute(from_);
        request.to = shownMinute(to_);
    } else {
        request.from = now.addDays(-Days[std::max(0, period_->currentIndex())]);
        request.to = now.addSecs(ClockAheadSecs);
    }
    return request;
}

void HistoryWindow::refresh()
{
    if (subject_->currentIndex() < 0)
        return;
    shown_ = currentRequest();
    if (shown_.from >= shown_.to) {
        status_->setText(QStringLiteral("O início do período deve ser anterior ao fim."));
        return;
    }
    if (period_->currentIndex() != Between)
        showPeriod();
    status_->setText(QStringLiteral("Consultando o histórico…"));
    seriesAsked_ = reader_->requestSeries(shown_);
    rows_->setRequest(shown_, zone_);
#ifdef COMZELTA_WITH_CHARTS
    // The previous subject's deliveries would stand on the new chart until the answer comes.
    chart_->setDeliveries({});
#endif
    alarmsAsked_ = reader_->requestAlarmsAndDeliveries(shown_.stationId, shown_.from, shown_.to);
}

// The fields, disabled for the last day, week or month, say which period that is; "De – até" starts
// from it.
void HistoryWindow::showPeriod()
{
    const auto wallClock = [this](const QDateTime &utc) {
        const QDateTime inZone = utc.toTimeZone(zone_);
        return QDateTime(inZone.date(), inZone.time());
    };
    const QSignalBlocker fromBlocker(from_);
    const QSignalBlocker toBlocker(to_);
    from_->setDateTime(wallClock(shown_.from));
    to_->setDateTime(wallClock(shown_.to.addSecs(-ClockAheadSecs)));
}

void HistoryWindow::showSeries(int requestId, const SeriesPoints &points)
{
    if (requestId != seriesAsked_)
        return;
#ifdef COMZELTA_WITH_CHARTS
    chart_->setSeries(points, shown_.from.toMSecsSinceEpoch(), shown_.to.toMSecsSinceEpoch(), zone_,
                      value_->currentText());
#endif
}

// The readings the table lists, which a product's total sums: its points are fewer.
void HistoryWindow::showCount(int total)
{
    QString text = total == 0 ? QStringLiteral("Nenhuma medição no período.")
                              : QStringLiteral("%1 no período.").arg(counted(total, "medição", "medições"));
    if (!shown_.tank && total > 0)
        text += QStringLiteral(" O total soma a última leitura de cada tanque do produto, a partir de quando "
                               "todos foram lidos.");
    status_->setText(text);
}

void HistoryWindow::showAlarmsAndDeliveries(int requestId, const AlarmsAndDeliveries &found)
{
    if (requestId != alarmsAsked_)
        return;
    alarmsAndDeliveries_->setContents(found, zone_);
#ifdef COMZELTA_WITH_CHARTS
    // On the chart, those of the tank or of the product shown.
    QList<StoredDelivery> shown;
    for (const StoredDelivery &delivery : found.deliveries) {
        if (shown_.tank ? delivery.tank == *shown_.tank
                        : delivery.product.trimmed() == shown_.product.trimmed())
            shown << delivery;
    }
    chart_->setDeliveries(shown);
#endif
}

void HistoryWindow::showFailure(int, const QString &reason)
{
    status_->setText(QStringLiteral("Histórico indisponível: ") + reason);
}

// Every row of the period, not only the pages the table has fetched.
void HistoryWindow::exportCsv()
{
    if (subject_->currentIndex() >= 0)
        exportAsked_ = reader_->requestRows(shown_, 0, std::max(rows_->total(), 1));
}

void HistoryWindow::saveExport(int requestId, const RowsPage &page)
{
    if (requestId != exportAsked_)
        return;
    exportAsked_ = 0;
    CsvFormat format;
    format.zone = zone_;
    saveRowsAs(this, QStringLiteral("Exportar CSV"),
               exportFileName(QStringLiteral("Historico"), station_->currentText(), QDateTime::currentDateTime()),
               historyCsvRows(page.rows), format);
}
