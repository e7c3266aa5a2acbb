// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "settings/SharedSettings.h"

#include <QString>

#include <optional>

// Every question and notice the editor shows goes through this one seam, so that tests can
// answer it and check its exact text, icon, buttons and title.
enum class PromptIcon { None, Information, Critical, Question };
enum class PromptButtons { Ok, OkCancel, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

class Prompts {
public:
    virtual ~Prompts() = default;

    // A modal message box. No title (std::nullopt) shows the program's own title. OK and
    // Yes are the default buttons; Escape answers Cancel.
    virtual PromptAnswer message(const QString& text, PromptIcon icon, PromptButtons buttons,
                                 const std::optional<QString>& title) = 0;

    // A modal input box; Cancel gives an empty text.
    virtual QString input(const QString& prompt, const QString& title,
                          const QString& defaultText) = 0;

    // The folder dialog "Select Folder", modal, for the folder that holds `targetFile`
    // ("Scribble.ini" or "Netscape.exe"), asking `label`. The folder the user accepts goes to
    // `settings` (CompanionFolder or BrowserFolder); when the user declines, the browser's
    // folder stays as it was and the companion's is left empty.
    virtual void chooseFolder(SharedSettings& settings, const QString& targetFile,
                              const QString& label) = 0;

    // A file to write (`save`) or to read, chosen by the user, starting at `suggested`; empty
    // on cancel. Without a file dialog of its own, the seam asks for the path in an input box.
    virtual QString chooseFile(bool save, const QString& title, const QString& suggested) {
        (void)save;
        return input(title, title, suggested);
    }

    // The wait pointer over the whole screen; calls nest.
    virtual void setWaitPointer(bool on) = 0;

    // Shorthands for the two kinds of box the editor shows most.
    void critical(const QString& text) {
        message(text, PromptIcon::Critical, PromptButtons::Ok, std::nullopt);
    }
    void information(const QString& text, const std::optional<QString>& title = std::nullopt) {
        message(text, PromptIcon::Information, PromptButtons::Ok, title);
    }
    // A question answered Yes, No or Cancel, with the question icon and no title.
    PromptAnswer question(const QString& text) {
        return message(text, PromptIcon::Question, PromptButtons::YesNoCancel, std::nullopt);
    }
};

// Shows the wait pointer for the lifetime of the guard.
class WaitPointer {
public:
    explicit WaitPointer(Prompts& prompts) : m_prompts(prompts) { m_prompts.setWaitPointer(true); }
    ~WaitPointer() { release(); }
    void release() {
        if (m_on)
            m_prompts.setWaitPointer(false);
        m_on = false;
    }
    WaitPointer(const WaitPointer&) = delete;
    WaitPointer& operator=(const WaitPointer&) = delete;

private:
    Prompts& m_prompts;
    bool m_on = true;
};

// The program's title, shown on message boxes that have none of their own.
inline const QString kProgramTitle = QStringLiteral("Quillet");
