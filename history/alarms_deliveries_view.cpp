#include "history/alarms_deliveries_view.h"

#include "history/station_time.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLocale>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum DeliveryColumn { Start, End, Tank, Product, Amount };

const QLatin1String Raised("_raised");
const QLatin1String Cleared("_cleared");

// The alarm an event kind names, as the operator calls it.
QString alarmName(const QString &kind)
{
    static const QHash<QString, QString> names{
        {QStringLiteral("low_level"), QStringLiteral("Nível baixo")},
        {QStringLiteral("high_level"), QStringLiteral("Nível alto")},
        {QStringLiteral("leak"), QStringLiteral("Vazamento")},
        {QStringLiteral("sensor_fault"), QStringLiteral("Falha de sensor")},
        {QStringLiteral("bar_inactive"), QStringLiteral("Barra inativa")},
        {QStringLiteral("communication"), QStringLiteral("Comunicação")},
        {QStringLiteral("clock"), QStringLiteral("Relógio")},
        {QStringLiteral("poll_failed"), QStringLiteral("Coleta automática")},
        {QStringLiteral("ofe_conflict"), QStringLiteral("Número OFE repetido")},
        {QStringLiteral("cumulative_loss"), QStringLiteral("Perda acumulada")},
    };
    QString alarm = kind;
    if (kind.endsWith(Raised))
        alarm.chop(Raised.size());
    else if (kind.endsWith(Cleared))
        alarm.chop(Cleared.size());
    return names.value(alarm, alarm);
}

QString situation(const QString &kind)
{
    if (kind.endsWith(Raised))
        return QStringLiteral("Ativado");
    if (kind.endsWith(Cleared))
        return QStringLiteral("Normalizado");
    if (kind == QLatin1String("ofe_conflict"))
        return QStringLiteral("Posto à parte");
    return QStringLiteral("Falhou");
}

QTableWidget *grid(const QString &name, const QStringList &headers, QWidget *parent)
{
    auto *result = new QTableWidget(0, int(headers.size()), parent);
    result->setObjectName(name);
    result->setAccessibleName(name);
    result->setHorizontalHeaderLabels(headers);
    result->verticalHeader()->hide();
    const int rowHeight = result->fontMetrics().height() + 4;
    result->verticalHeader()->setMinimumSectionSize(rowHeight);
    result->verticalHeader()->setDefaultSectionSize(rowHeight);
    result->horizontalHeader()->setStretchLastSection(true);
    result->setEditTriggers(QAbstractItemView::NoEditTriggers);
    result->setSelectionBehavior(QAbstractItemView::SelectRows);
    result->setWordWrap(false);
    return result;
}

QGroupBox *titled(const QString &title, QWidget *content, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(content);
    return box;
}

void setRow(QTableWidget *grid, int row, const QStringList &texts, int rightAligned = -1)
{
    for (int column = 0; column < texts.size(); ++column) {
        auto *item = new QTableWidgetItem(texts[column]);
        if (column == rightAligned)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->setItem(row, column, item);
    }
}

}  // namespace

AlarmsDeliveriesView::AlarmsDeliveriesView(QWidget *parent) : QWidget(parent)
{
    alarms_ = grid(QStringLiteral("Alarmes"),
                   {QStringLiteral("Data"), QStringLiteral("Alarme"), QStringLiteral("Situação"), QStringLiteral("Detalhe")},
                   this);
    deliveries_ = grid(QStringLiteral("Entregas"),
                       {QStringLiteral("Início"), QStringLiteral("Fim"), QStringLiteral("Tanque"), QStringLiteral("Produto"),
                        QStringLiteral("Quantidade")},
                       this);
    // One above the other, so that each shows its columns whole.
    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(titled(QStringLiteral("Alarmes"), alarms_, splitter));
    splitter->addWidget(titled(QStringLiteral("Entregas"), deliveries_, splitter));
    splitter->setChildrenCollapsible(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
}

void AlarmsDeliveriesView::setContents(const AlarmsAndDeliveries &found, const QTimeZone &zone)
{
    alarms_->setRowCount(int(found.alarms.size()));
    for (int row = 0; row < found.alarms.size(); ++row) {
        const StoredEvent &event = found.alarms[row];
        setRow(alarms_, row, {stationTimeText(event.at, zone), alarmName(event.kind), situation(event.kind), event.detail});
    }
    deliveries_->setRowCount(int(found.deliveries.size()));
    for (int row = 0; row < found.deliveries.size(); ++row) {
        const StoredDelivery &delivery = found.deliveries[row];
        setRow(deliveries_, row,
               {stationTimeText(delivery.startedAt, zone), stationTimeText(delivery.endedAt, zone),
                QString::number(delivery.tank), delivery.product.trimmed(), QLocale().toString(delivery.amount, 'f', 0)},
               Amount);
    }
    // The last column keeps stretching: sizing it to its contents would undo the stretch.
    for (QTableWidget *grid : {alarms_, deliveries_}) {
        for (int column = 0; column + 1 < grid->columnCount(); ++column)
            grid->resizeColumnToContents(column);
    }
}
