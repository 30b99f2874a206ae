#pragma once

// The windows speak Portuguese only, so their numbers and dates are Brazilian ("1.500",
// "07/12/2026") whatever the machine's locale: an operator reads "1,500" litres as one and a
// half. Every program with a window calls this before making one.
void useBrazilianLocale();
