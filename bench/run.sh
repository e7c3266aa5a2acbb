#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks (Release, in build-bench), starts a private X server, runs every
# benchmark and prints one table: operation, N, time, floor, ratio, target, met?
#
#   bench/run.sh                 everything (about 5 minutes once built)
#   BENCH_REPETITIONS=1 bench/run.sh      a quicker, noisier run
#   BENCH_FILTER='Tick|BrowserRunning' bench/run.sh   only the benchmarks whose names match
#
# The raw results (Google Benchmark JSON and console logs) and the table are kept in
# build-bench/bench-results/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

build="$top/build-bench"
results="$build/bench-results"
repetitions="${BENCH_REPETITIONS:-3}"
filter="${BENCH_FILTER:-.}"

for tool in cmake ninja Xvfb; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "bench/run.sh: $tool is missing (tools/install-deps.sh installs it)" >&2
        exit 1
    fi
done

echo "== Building (Release, $build) ==" >&2
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKEEPSAKE_BENCH=ON >/dev/null
ninja -C "$build" -j2 keepsake_bench editor_bench bare_window bench_report keepsake-editor \
    x11_titled_window >&2

# A private X server with no window manager; -noreset keeps it up between clients.
display_number=$((200 + RANDOM % 300))
while [ -e "/tmp/.X${display_number}-lock" ] || [ -e "/tmp/.X11-unix/X${display_number}" ]; do
    display_number=$((display_number + 1))
done
scratch=$(mktemp -d)
Xvfb ":${display_number}" -noreset -screen 0 1280x1024x24 -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
cleanup() {
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT
for _ in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X${display_number}" ] && break
    sleep 0.1
done
if [ ! -e "/tmp/.X11-unix/X${display_number}" ]; then
    echo "bench/run.sh: Xvfb did not start:" >&2
    cat "$scratch/xvfb.log" >&2
    exit 1
fi

# A pinned environment: no desktop settings, no user files.
mkdir -p "$scratch/home" "$scratch/runtime" "$results"
chmod 700 "$scratch/runtime"
export HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime"
export LC_ALL=C.UTF-8 LANG=C.UTF-8 TZ=UTC
export KEEPSAKE_BENCH_DISPLAY=":${display_number}"
unset DISPLAY
export QT_QPA_PLATFORM=offscreen

echo "== The editor's operations (keepsake_bench, $repetitions repetitions) ==" >&2
"$build/bench/keepsake_bench" \
    --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_filter="$filter" \
    --benchmark_out="$results/keepsake_bench.json" --benchmark_out_format=json \
    >"$results/keepsake_bench.log" 2>&1 || {
    cat "$results/keepsake_bench.log" >&2
    exit 1
}

echo "== The editor program (editor_bench: start-up, 30 s idle, peak memory) ==" >&2
"$build/bench/editor_bench" --benchmark_filter="$filter" \
    --benchmark_out="$results/editor_bench.json" --benchmark_out_format=json \
    >"$results/editor_bench.log" 2>&1 || {
    cat "$results/editor_bench.log" >&2
    exit 1
}

echo >&2
"$build/bench/bench_report" "$results/keepsake_bench.json" "$results/editor_bench.json" |
    tee "$results/table.md"
