#pragma once

#include <cstdlib>
#include <memory>

// What a C library hands over allocated with malloc (xcb's replies), freed with free when it
// goes; null where the call failed.
struct FreeWithFree {
    void operator()(void* allocated) const { std::free(allocated); }
};
template <typename T> using Malloced = std::unique_ptr<T, FreeWithFree>;
