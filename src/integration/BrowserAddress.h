// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

// Turns what the editor hands to the browser into an absolute address that can never be
// taken for a command-line option or another kind of address.
namespace browseraddress {

// An address that begins with "http://", "https://" or "file://" stays as it is; any other
// text is a web address without its scheme and gets "http://". Empty gives empty.
QString absolute(const QString& caption);

// The browser's test: does this window title name a browser window? (Its first eight
// characters, upper-cased, are "NETSCAPE".)
bool isBrowserTitle(const QString& title);

}  // namespace browseraddress
