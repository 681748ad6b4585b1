#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the fuzzer at a broken promise; libFuzzer keeps the input that broke it.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}
