// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What every fuzz target shares: the check that ends a run, and the entry point.
namespace fuzzcheck {

// A broken rule ends the run with the line that states it.
inline void check(bool condition, const char* file = __builtin_FILE(),
                  int line = __builtin_LINE()) {
    if (condition)
        return;
    std::fprintf(stderr, "%s:%d: check failed\n", file, line);
    std::abort();
}

}  // namespace fuzzcheck

// The tests replay saved inputs through testOneInput() and leave the entry point out.
#ifdef KEEPSAKE_FUZZ_NO_ENTRY_POINT
#define KEEPSAKE_FUZZ_ENTRY_POINT(target)
#else
#define KEEPSAKE_FUZZ_ENTRY_POINT(target)                                               \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
        return target::testOneInput(data, size);                                        \
    }
#endif
