#pragma once

#include "session/controller_session.h"

#include <QString>

// Traduzir_Estado_TCP: the caption shown in Estado_TCP for the session's link state.
QString Traduzir_Estado_TCP(ControllerSession::LinkState estado);
