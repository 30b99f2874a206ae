#pragma once

// Benchmarks run without a screen unless told otherwise: QT_QPA_PLATFORM, when set, wins.
void preferOffscreenPlatform();
