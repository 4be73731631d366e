#pragma once

#include <cstdio>
#include <cstdlib>

/// Stops the fuzzer with a report when a property that every successfully read input must have does not
/// hold; libFuzzer treats the abort as a crash and keeps the input.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)
