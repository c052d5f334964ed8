// A plain exported function over an array of text pointers, in a shared library of its own:
// the lookup an application could make itself, called as the table handles are called.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define BENCH_ARRAY_API __declspec(dllexport)
#else
#define BENCH_ARRAY_API __attribute__((visibility("default")))
#endif

extern "C" {
BENCH_ARRAY_API void BenchArraySet(void const *const *texts);
BENCH_ARRAY_API void const *BenchArrayGet(std::uint32_t id);
}
