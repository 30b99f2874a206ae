#include "alarms/alarms_log.h"

Q_LOGGING_CATEGORY(lcAlarms, "comzelta.alarms", QtWarningMsg)
