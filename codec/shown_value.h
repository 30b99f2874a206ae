#pragma once

#include <QString>

// A value read from a file, in double quotes, for a message on a terminal or in a log: control
// and formatting characters (escapes, bidirectional overrides, bytes that decoded to nothing
// printable) as \xNN or \uNNNN, so that what the file holds can neither move the cursor nor hide.
QString shownValue(const QString &value);
