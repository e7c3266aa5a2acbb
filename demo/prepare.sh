#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Lays out a demo collection under demo/run: the editor's folder with a settings file that
# links a companion folder holding the sample keepsake file. Existing files are kept, so the
# demo's categories survive between runs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
editor=${1:?usage: prepare.sh path/to/keepsake-editor}
run="$here/run"
mkdir -p "$run/editor" "$run/companion"
# Replaced by rename, so that a running demo editor does not block the copy.
cp "$editor" "$run/editor/keepsake-editor.new"
mv -f "$run/editor/keepsake-editor.new" "$run/editor/keepsake-editor"
[ -f "$run/companion/Scribble.ini" ] || printf '[Scribble]\r\n' > "$run/companion/Scribble.ini"
[ -f "$run/companion/KEEPSAKE.HTML" ] || cp "$here/sample/KEEPSAKE.HTML" "$run/companion/KEEPSAKE.HTML"
# The browser's folder holds "Netscape.exe", a link to the desktop's own browser.
browser_folder=""
for program in firefox-esr firefox chromium; do
    if path=$(command -v "$program"); then
        mkdir -p "$run/browser"
        ln -sfn "$path" "$run/browser/Netscape.exe"
        browser_folder="$run/browser/"
        break
    fi
done
if [ ! -f "$run/editor/KEEPSAKE.INI" ]; then
    # Category names in CP932, as the editor keeps them.
    printf '[Scribble]\r\nFolder=%s/\r\n[Netscape]\r\nFolder=%s\r\n[Books]\r\n0000=%s\r\n0001=%s\r\n0002=%s\r\n0003=\r\n' \
        "$run/companion" "$browser_folder" "$(printf 'ニュース' | iconv -f UTF-8 -t CP932)" \
        "$(printf '旅行' | iconv -f UTF-8 -t CP932)" "$(printf '調べもの' | iconv -f UTF-8 -t CP932)" \
        > "$run/editor/KEEPSAKE.INI"
fi
echo "$run/editor/keepsake-editor"
