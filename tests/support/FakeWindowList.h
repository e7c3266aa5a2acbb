// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/WindowList.h"

// A desktop whose top-level windows a test opens and closes by title.
class FakeWindowList : public WindowList {
public:
    QStringList titles;
    int walks = 0;

    QStringList topLevelTitles() override {
        ++walks;
        return titles;
    }
};
