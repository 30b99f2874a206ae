#pragma once

#include <cstdio>
#include <cstdlib>

// A broken invariant names itself and aborts: libFuzzer then keeps the input as a crash, and a
// replay of the corpus fails with the line that broke.
#define FUZZ_CHECK(condition)                                                                    \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                        \
        }                                                                                        \
    } while (false)
