// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "app/Refile.h"
#include "platform/QtPrompts.h"
#include "support/EditorFixture.h"
#include "support/WindowControls.h"

#include <memory>

// The collection of EditorFixture, with the editor in its window. The folder dialog is the
// real one, answered by the handlers given to prompts.answerDialog.
class WindowFixture : public EditorFixture {
public:
    WindowFixture();
    ~WindowFixture() override;

    // Creates the window and runs its start-up; false when the start ended the program.
    bool start() override;
    // The same with the program's own boxes, answered through the X server, and `realWindows`;
    // the window is then shown and given the keyboard. False when any of it fails.
    bool startWithRealBoxes(WindowList& realWindows);
    Refile& window() { return *m_window; }
    // Closes the window.
    void close() override;

private:
    std::unique_ptr<QtPrompts> m_realPrompts;
    std::unique_ptr<Refile> m_window;
};
