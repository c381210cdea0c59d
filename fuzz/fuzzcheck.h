#pragma once

#include <cstdio>
#include <cstdlib>

// A promise the code under fuzzing broke: said on stderr, then abort(), so that
// libFuzzer reports it as a crash and keeps the input.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition);                     \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)
