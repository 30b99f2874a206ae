#pragma once

#include <QLoggingCategory>

// Warnings are shown; the rest when QT_LOGGING_RULES asks for "comzelta.alarms.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcAlarms)
