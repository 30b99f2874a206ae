#pragma once

#include "store/history_reader.h"

#include <QTimeZone>
#include <QWidget>

class AlarmsDeliveriesView;
class HistoryChart;
class HistoryRowsModel;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QTableView;

// "Histórico de Medições": the readings kept in a history file, for a station's tank or the totals
// of a product over a period, as a chart and as a table, with "Exportar CSV" and "Imprimir"; beside
// the table, the station's alarms and deliveries in the period, the deliveries also on the chart.
// Every question goes to a HistoryReader, off the UI thread; the window works with or without a
// connection to a controller.
class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    explicit HistoryWindow(const DatabaseLocation &history, QWidget *parent = nullptr);

    // The period choices, in the order of the "Período" list.
    enum Period { Day, Week, Month, Between };

private:
    void showStations(int requestId, const QList<StoredStation> &stations);
    void askStationContents();
    void showStationContents(int requestId, const StationContents &contents);
    void refresh();
    void showPeriod();
    void showSeries(int requestId, const SeriesPoints &points);
    void showCount(int total);
    void showAlarmsAndDeliveries(int requestId, const AlarmsAndDeliveries &found);
    void showFailure(int requestId, const QString &reason);
    void exportCsv();
    void saveExport(int requestId, const RowsPage &page);
    SeriesRequest currentRequest() const;

    HistoryReader *reader_;
    QComboBox *station_;
    QComboBox *subject_;
    QComboBox *period_;
    QDateTimeEdit *from_;
    QDateTimeEdit *to_;
    QComboBox *value_;
#ifdef COMZELTA_WITH_CHARTS
    HistoryChart *chart_;
#endif
    QTableView *table_;
    HistoryRowsModel *rows_;
    AlarmsDeliveriesView *alarmsAndDeliveries_;
    QLabel *status_;

    QList<StoredStation> stations_;
    QTimeZone zone_;
    SeriesRequest shown_;
    int stationsAsked_ = 0;
    int contentsAsked_ = 0;
    int seriesAsked_ = 0;
    int alarmsAsked_ = 0;
    int exportAsked_ = 0;
};
