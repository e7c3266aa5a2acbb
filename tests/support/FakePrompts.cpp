// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/FakePrompts.h"

PromptAnswer FakePrompts::message(const QString& text, PromptIcon icon, PromptButtons buttons,
                                  const std::optional<QString>& title) {
    m_shown.append({Shown::Message, text, icon, buttons, title, {}});
    if (whileMessageShown)
        whileMessageShown();
    if (m_messageAnswers.empty()) {
        ++m_unscripted;
        return buttons == PromptButtons::YesNoCancel ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    const PromptAnswer answer = m_messageAnswers.front();
    m_messageAnswers.pop_front();
    return answer;
}

QString FakePrompts::input(const QString& prompt, const QString& title,
                           const QString& defaultText) {
    m_shown.append({Shown::Input, prompt, PromptIcon::None, PromptButtons::Ok, title, defaultText});
    if (m_inputAnswers.empty()) {
        ++m_unscripted;
        return defaultText;
    }
    const QString answer = m_inputAnswers.front();
    m_inputAnswers.pop_front();
    return answer;
}

void FakePrompts::chooseFolder(SharedSettings& settings, const QString& targetFile,
                               const QString& label) {
    m_shown.append({Shown::Dialog, QStringLiteral("frmFolder"), PromptIcon::None, PromptButtons::Ok,
                    QStringLiteral("Select Folder"), label});
    if (folderDialog) {
        folderDialog(settings, targetFile, label);
        return;
    }
    ++m_unscripted;
    if (targetFile == QStringLiteral("Scribble.ini"))
        settings.CompanionFolder.clear();
}

std::function<void(QDialog&)> FakePrompts::takeDialogHandler() {
    if (m_dialogHandlers.empty())
        return {};
    auto handler = std::move(m_dialogHandlers.front());
    m_dialogHandlers.pop_front();
    return handler;
}

void FakePrompts::setWaitPointer(bool on) {
    m_waitDepth += on ? 1 : -1;
}

QStringList FakePrompts::messageTexts() const {
    QStringList texts;
    for (const Shown& s : m_shown) {
        if (s.kind == Shown::Message)
            texts << s.text;
    }
    return texts;
}

QStringList FakePrompts::describe() const {
    QStringList lines;
    for (const Shown& s : m_shown) {
        if (s.kind == Shown::Dialog) {
            lines << QStringLiteral("dialog|") + s.text;
            continue;
        }
        const QString icon = s.icon == PromptIcon::Critical      ? QStringLiteral("critical")
                             : s.icon == PromptIcon::Information ? QStringLiteral("information")
                             : s.icon == PromptIcon::Question    ? QStringLiteral("question")
                                                                 : QStringLiteral("none");
        lines
            << QStringLiteral("%1|%2|%3").arg(icon, s.title.value_or(QStringLiteral("-")), s.text);
    }
    return lines;
}
