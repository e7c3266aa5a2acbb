#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the editor, its tests and its benchmarks need, from Debian's packages.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config clang libclang-rt-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev libx11-dev libx11-xcb-dev libxcb1-dev
    qt6-base-private-dev
    xvfb xauth x11-utils fonts-ipafont-gothic
    libbenchmark-dev
    xdotool xclip x11-xkb-utils x11-xserver-utils
    qt6-translations-l10n python3 libicu-dev node-iconv-lite
    firefox-esr chromium dbus dbus-x11 iproute2 util-linux openssl sqlite3
    clang-format
    dpkg-dev file lintian desktop-file-utils appstream librsvg2-bin
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
