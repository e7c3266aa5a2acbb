#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from the build folder given, checks it with lintian (no errors),
# validates its desktop entry and metainfo, unpacks it into a scratch root and starts the
# installed editor on a fresh home on the X server in $KEEPSAKE_TEST_DISPLAY: it must open
# its window on the default collection. Fails loudly at the first problem.
set -euo pipefail
build=$(cd "${1:?usage: check-package.sh BUILD_FOLDER}" && pwd)
: "${KEEPSAKE_TEST_DISPLAY:?the test command starts Xvfb and sets KEEPSAKE_TEST_DISPLAY}"
app_id=io.github.keepsake_editor.KeepsakeEditor
fail() { echo "check-package: $*" >&2; exit 1; }

scratch=$(mktemp -d)
editor_pid=
cleanup() {
    [ -n "$editor_pid" ] && kill "$editor_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

(cd "$build" && rm -f keepsake-editor_*.deb && cpack -G DEB >"$scratch/cpack.log" 2>&1) ||
    { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$build"/keepsake-editor_*.deb)
echo "package: $deb"

lintian --tag-display-limit 0 "$deb" >"$scratch/lintian.log" 2>&1 || true
cat "$scratch/lintian.log"
if grep -q '^E: ' "$scratch/lintian.log"; then fail "lintian reports errors"; fi
dpkg-deb -f "$deb" Depends | grep -q 'qt6-translations-l10n' ||
    fail "the package does not depend on qt6-translations-l10n"

root="$scratch/root"
dpkg -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/$app_id.desktop" ||
    fail "the desktop entry does not validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
    fail "the metainfo does not validate"
[ -s "$root/usr/share/man/man1/keepsake-editor.1.gz" ] || fail "no manual page"
for size in 16 32 48 256; do
    [ -s "$root/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png" ] ||
        fail "no ${size}x${size} icon"
done

# A fresh home; --help and --version work without a display and write nothing.
export HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/runtime"
unset XDG_CONFIG_HOME
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
program="$root/usr/bin/keepsake-editor"
env -u DISPLAY -u WAYLAND_DISPLAY "$program" --help | grep -q "Usage: keepsake-editor" ||
    fail "--help does not print the usage"
env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version | grep -q "^keepsake-editor " ||
    fail "--version does not print the version"
[ -z "$(ls -A "$HOME")" ] || fail "--help or --version wrote files: $(ls -A "$HOME")"

# The installed editor on its first start: the default collection, made then; the reader
# reports that it has no keepsake file yet, and the window opens.
export DISPLAY="$KEEPSAKE_TEST_DISPLAY"
unset QT_QPA_PLATFORM
"$program" >"$scratch/editor.log" 2>&1 &
editor_pid=$!
window_of() {
    local title=$1 id
    for _ in $(seq 1 200); do
        for id in $(xdotool search --all --onlyvisible --pid "$editor_pid" --name "^$title\$" 2>/dev/null); do
            [ "$(xdotool getwindowname "$id")" = "$title" ] && { echo "$id"; return 0; }
        done
        kill -0 "$editor_pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}
box=$(window_of Quillet) || { cat "$scratch/editor.log" >&2; fail "no box about the new collection"; }
xdotool windowfocus --sync "$box" key Return
window_of "KEEPSAKE EDITOR" >/dev/null || { cat "$scratch/editor.log" >&2; fail "no editor window"; }
[ -f "$HOME/Keepsake/KEEPSAKE.INI" ] || fail "the default collection was not made"
grep -qx "Folder=$HOME/Keepsake/" "$HOME/.config/keepsake-editor/keepsake-editor.conf" ||
    fail "the collection was not recorded"
echo "check-package: the installed editor opened $HOME/Keepsake/"
