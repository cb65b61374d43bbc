// What the fuzz targets share: the entry point libFuzzer calls, and a check
// that stops the run where a reader breaks a promise of its own (a crash is
// caught by the sanitizers without one).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace capacimo::fuzz {

// Ends the run with the broken promise on stderr; the fuzzer keeps the input.
inline void check(bool kept, const char* promise) {
    if (kept) return;
    std::fprintf(stderr, "broken: %s\n", promise);
    std::abort();
}

}  // namespace capacimo::fuzz
