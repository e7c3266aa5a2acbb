#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs, builds and runs every test headless: the plain build first, then the Debian
# package (built, checked with lintian, installed into a scratch root and started), then the
# whole suite again under AddressSanitizer and UndefinedBehaviorSanitizer (with clang), together with
# short runs of the fuzz targets. Ends with CTest's own summary.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
# The tests run in a session bus of their own, as programs on a desktop do. Without one, every
# Qt program on the test X server looks for D-Bus through that server (dbus-launch
# --autolaunch), and a connection stuck there once held a starting editor for half a minute.
if [ -z "${KEEPSAKE_TEST_BUS:-}" ]; then
    tools/install-deps.sh
    export KEEPSAKE_TEST_BUS=1
    exec dbus-run-session -- "$top/tools/test.sh" "$@"
fi

# Every tracked source file as the repository's .clang-format lays it out; checked before
# anything is built.
echo "== clang-format =="
command -v clang-format >/dev/null || { echo "clang-format is missing" >&2; exit 1; }
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    sources=$(git ls-files -z -- '*.cpp' '*.h' | tr '\0' '\n')
else
    sources=$(find . -path './build*' -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print)
fi
unformatted=()
while IFS= read -r file; do
    [ -n "$file" ] || continue
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done <<<"$sources"
if [ ${#unformatted[@]} -gt 0 ]; then
    echo "These files are not clang-format clean (run clang-format -i on them):" >&2
    printf '  %s\n' "${unformatted[@]}" >&2
    exit 1
fi

jobs=$(nproc 2>/dev/null || echo 2)

# A private X server for the tests that need a real one; -noreset keeps it up between clients.
display_number=$((90 + RANDOM % 400))
while [ -e "/tmp/.X${display_number}-lock" ]; do display_number=$((display_number + 1)); done
Xvfb ":${display_number}" -noreset -screen 0 1280x1024x24 -nolisten tcp >/tmp/keepsake-xvfb.log 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X${display_number}" ] && break
    sleep 0.1
done
export KEEPSAKE_TEST_DISPLAY=":${display_number}"

echo "== Plain build and tests =="
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Debian package: lintian, validators, the installed editor =="
tools/check-package.sh build

echo "== Sanitizer build (ASan + UBSan) with fuzz targets =="
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_COMPILER=clang++ -DKEEPSAKE_SANITIZE=ON -DKEEPSAKE_FUZZ=ON >/dev/null
cmake --build build-asan -j "$jobs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$top/tests/sanitizer/lsan.supp"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-asan --output-on-failure -j "$jobs"
