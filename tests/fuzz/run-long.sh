#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer) and runs
# every one of them for longer than the short runs of the test suite.
#
#   tests/fuzz/run-long.sh [seconds per target]     (default 600)
#
# The corpus grows in <build>/fuzz-corpus/<target> from one run to the next (seeded from
# tests/fuzz/corpus/<target>); an input that crashes a target is saved in
# <build>/fuzz-artifacts/ and the script ends with status 1. Turn such an input into a
# regression test: copy it to tests/data/regressions/<target>-<what-it-shows>, where
# tst_badinput (savedFuzzInputs) replays it through the target's checks.
#
# KEEPSAKE_FUZZ_BUILD picks the build folder (default build-fuzz), KEEPSAKE_JOBS the number
# of compile jobs (default 2).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-600}
build=${KEEPSAKE_FUZZ_BUILD:-$top/build-fuzz}
jobs=${KEEPSAKE_JOBS:-2}

cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
    -DKEEPSAKE_SANITIZE=ON -DKEEPSAKE_FUZZ=ON >/dev/null
cmake --build "$build" -j "$jobs" --target fuzz_targets

export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:strict_string_checks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export LC_ALL=C.UTF-8 TZ=UTC

artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
failed=()
for source in "$top"/tests/fuzz/fuzz_*.cpp; do
    name=$(basename "$source" .cpp)
    corpus="$build/fuzz-corpus/$name"
    log="$build/fuzz-$name.log"
    mkdir -p "$corpus"
    cp -n "$top/tests/fuzz/corpus/$name"/* "$corpus"/ 2>/dev/null || true
    echo "== $name: ${seconds}s, corpus $corpus"
    if "$build/tests/fuzz/$name" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -max_len=8192 -dict="$build/tests/fuzz/keepsake.dict" \
        -artifact_prefix="$artifacts/$name-" -print_final_stats=1 "$corpus" >"$log" 2>&1; then
        grep -E 'DONE|stat::number_of_executed_units' "$log" || true
    else
        failed+=("$name")
        tail -n 60 "$log"
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "Crashes in: ${failed[*]} (inputs in $artifacts, logs in $build/fuzz-*.log)"
    exit 1
fi
echo "No crash in ${seconds}s per target."
