#pragma once

#include <QLoggingCategory>

// The store's diagnostics: warnings are shown, the rest when QT_LOGGING_RULES asks for
// "comzelta.store.debug=true" or "comzelta.store.info=true".
Q_DECLARE_LOGGING_CATEGORY(lcStore)
