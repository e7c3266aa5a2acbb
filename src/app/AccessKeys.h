// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QKeySequence>
#include <QList>

#include <functional>

class QMenu;
class QWidget;

// Access keys of a Japanese keyboard. Each caption's letter has a second access key, the
// kana on the same key. Qt reports a kana key of a Japanese layout with the code of the
// (full-width) katakana, while an input method or another layout may give the half-width
// kana itself; both count.
namespace accesskeys {

// The katakana Qt reports for a half-width kana: u'ﾐ' gives u'ミ'.
char16_t katakanaOf(char16_t halfWidthKana);

// True when `qtKey` is the key of that kana, in either form.
bool isKanaKey(int qtKey, char16_t halfWidthKana);

// Alt + the kana runs `action` while the focus is in `window`.
void addKanaShortcut(QWidget* window, char16_t halfWidthKana, const std::function<void()>& action);

// While `menu` is open, the kana (with or without Alt) chooses its item whose access key is
// `letter`, as the letter itself does there.
void addKanaMenuKey(QMenu* menu, char16_t halfWidthKana, Qt::Key letter);

}  // namespace accesskeys
