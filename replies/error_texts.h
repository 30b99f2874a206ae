#pragma once

#include <QString>
#include <string>

// The operator's text for a controller error code ("TI", "NH", "SL", "OL"); empty for any other.
QString errorReplyText(const std::string &errorCode);
