#pragma once

#include <QLoggingCategory>

// Warnings are shown; the rest when QT_LOGGING_RULES asks for "comzelta.stations.debug=true"
// (a file that could not be read or saved).
Q_DECLARE_LOGGING_CATEGORY(lcStations)
