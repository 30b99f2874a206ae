#pragma once

#include "store/closing_rows.h"

// Who closes or reopens a day from this machine: the account's user name and the machine's name.
BookAuthor localAuthor();
