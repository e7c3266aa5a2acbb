// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/Prompts.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

class QDialog;

// Records every prompt and answers from a script. A prompt that the script does not answer
// gets its default button (OK, or Yes for a question), the default text (input) or a declined
// folder dialog, and is recorded as unscripted, so that a test never waits for a person.
class FakePrompts : public Prompts {
public:
    struct Shown {
        enum Kind { Message, Input, Dialog } kind;
        QString text;  // message text, input prompt or "frmFolder"
        PromptIcon icon = PromptIcon::None;
        PromptButtons buttons = PromptButtons::Ok;
        std::optional<QString> title;
        QString defaultText;
    };

    PromptAnswer message(const QString& text, PromptIcon icon, PromptButtons buttons,
                         const std::optional<QString>& title) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
    void chooseFolder(SharedSettings& settings, const QString& targetFile,
                      const QString& label) override;
    void setWaitPointer(bool on) override;

    // Scripted answers, used in order.
    void answerMessage(PromptAnswer answer) { m_messageAnswers.push_back(answer); }
    void answerInput(const QString& text) { m_inputAnswers.push_back(text); }
    // Handlers for the real folder dialog, which a window's tests show through `folderDialog`.
    void answerDialog(std::function<void(QDialog&)> handler) {
        m_dialogHandlers.push_back(std::move(handler));
    }
    std::function<void(QDialog&)> takeDialogHandler();
    void countUnscripted() { ++m_unscripted; }

    // Shows the folder dialog itself; without it, the dialog is recorded and declined.
    std::function<void(SharedSettings&, const QString& targetFile, const QString& label)>
        folderDialog;
    // Runs while each message box is up, before it is answered: what the user sees then.
    std::function<void()> whileMessageShown;

    const QList<Shown>& shown() const { return m_shown; }
    QStringList messageTexts() const;
    // Every prompt shown, one line each: "icon|title|text" ("-" for no title), dialogs as
    // "dialog|class name".
    QStringList describe() const;
    void clear() { m_shown.clear(); }
    int waitDepth() const { return m_waitDepth; }
    int unscripted() const { return m_unscripted; }

private:
    QList<Shown> m_shown;
    std::deque<PromptAnswer> m_messageAnswers;
    std::deque<QString> m_inputAnswers;
    std::deque<std::function<void(QDialog&)>> m_dialogHandlers;
    int m_waitDepth = 0;
    int m_unscripted = 0;
};
