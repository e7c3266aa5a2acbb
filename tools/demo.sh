#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs, builds and opens the editor on the demo collection under demo/run.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
# Said before anything is installed or built: without a display there is nothing to show.
if [ -z "${DISPLAY:-}" ]; then
    echo "No display is available (DISPLAY is not set): the editor needs an X11 desktop." >&2
    echo "Run tools/demo.sh again from a desktop session." >&2
    exit 1
fi
tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target keepsake-editor
editor=$(demo/prepare.sh build/src/keepsake-editor)
cd "$(dirname "$editor")"
exec ./keepsake-editor
