// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPixmap>

// The editor's own 32 x 32 pictures, drawn at run time.
namespace pictures {
QPixmap sendEnabled();   // a globe with a bright arrow
QPixmap sendDisabled();  // the same, greyed and crossed out
QPixmap preview();       // a page with two frames
QPixmap windowIcon();    // a bookmark ribbon on a page
}  // namespace pictures
