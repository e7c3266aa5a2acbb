// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class Prompts;
class WindowList;
class Launcher;

// The outside world as the editor sees it: prompts, the desktop's windows and program start.
// The real program hands in the real layers; tests hand in fakes.
struct Platform {
    Prompts& prompts;
    WindowList& windows;
    Launcher& launcher;
};
