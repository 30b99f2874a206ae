#pragma once

#include "store/history_queries.h"

#include <QList>
#include <QString>

// The SQL of the history window's questions, with named parameters. Kept apart so that a
// benchmark can hand the very same text to another tool.
namespace HistorySql {

QString valueColumn(SeriesValue value);

QString stations();
// host and closing_minute (0 when not set) of every station, by id.
QString closingHours();
// :station :after: the next tank number with a dated reading; no row after the last.
QString nextTank();
// :station :tank: product and unit of the tank's latest dated reading.
QString latestOfTank();
// :station :tank :from :to: measured_at and the value of the tank's readings that have one.
QString tankSeries(SeriesValue value);
// :station :tank :from: product and value of the tank's latest reading with a value before :from.
QString tankValueBefore(SeriesValue value);
// Whether a tank has a reading of the product from the period's start on.
QString tankHoldsProductSince(SeriesValue value);
// :station :from :to: tank, product, measured_at and value of every reading of these tanks with a
// value, by time. Listing the tanks lets each be read through the (station, tank, time) key.
QString stationSeries(SeriesValue value, const QList<int> &tanks);
// :station :tank :from :to :limit :offset: the tank's rows, by time.
QString tankRows();
// :station :product :from :to :limit :offset: the product's rows among these tanks, by time.
QString productRows(const QList<int> &tanks);
// The same without paging: how many rows.
QString tankRowCount();
QString productRowCount(const QList<int> &tanks);
// :station :from :to: id, at, kind and detail of the station's events and of those of no station.
QString events();
// :station :from :to: id, at, kind and detail of the station's alarms raised and cleared
// ("<alarm>_raised", "<alarm>_cleared"), its failed polls and its OFE number conflicts, by time.
QString alarmEvents();
// :station :from :to: id, tank, product, started_at, ended_at and amount of the station's
// deliveries that overlap the period, by start.
QString deliveries();

} // namespace HistorySql
