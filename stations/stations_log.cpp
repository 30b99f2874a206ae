#include "stations/stations_log.h"

Q_LOGGING_CATEGORY(lcStations, "comzelta.stations", QtWarningMsg)
