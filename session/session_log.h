#pragma once

#include <QLoggingCategory>

// The session's diagnostics for the field, off by default so that no program's output changes:
// QT_LOGGING_RULES="comzelta.session.debug=true" shows connects, closes and reconnections, and
// "comzelta.session=true" adds the warnings (failures, timeouts, rejected replies). The
// operator's log window and the frame logs come from logLine(), not from here.
Q_DECLARE_LOGGING_CATEGORY(lcSession)
