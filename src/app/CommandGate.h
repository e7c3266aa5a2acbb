// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/Prompts.h"

#include <QObject>

// The editor's commands run one at a time. A message or input box runs its own event loop,
// in which a click or shortcut typed ahead would start a second command inside the first,
// which then goes on with lists the second has changed. The gate is held while a box of the
// editor is open or the keepsake file is being read; the window sends no command meanwhile.
class CommandGate : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    bool busy() const { return m_depth > 0; }
    void hold();
    void release();

    class Hold {
    public:
        explicit Hold(CommandGate& gate) : m_gate(gate) { m_gate.hold(); }
        ~Hold() { m_gate.release(); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        CommandGate& m_gate;
    };

signals:
    // The first hold and the last release.
    void closed();
    void opened();

private:
    int m_depth = 0;
};

// The editor's prompts: every box holds the gate while it is open.
class GuardedPrompts : public Prompts {
public:
    GuardedPrompts(Prompts& inner, CommandGate& gate) : m_inner(inner), m_gate(gate) {}

    PromptAnswer message(const QString& text, PromptIcon icon, PromptButtons buttons,
                         const std::optional<QString>& title) override {
        const CommandGate::Hold busy(m_gate);
        return m_inner.message(text, icon, buttons, title);
    }
    QString input(const QString& prompt, const QString& title,
                  const QString& defaultText) override {
        const CommandGate::Hold busy(m_gate);
        return m_inner.input(prompt, title, defaultText);
    }
    void chooseFolder(SharedSettings& settings, const QString& targetFile,
                      const QString& label) override {
        const CommandGate::Hold busy(m_gate);
        m_inner.chooseFolder(settings, targetFile, label);
    }
    void setWaitPointer(bool on) override { m_inner.setWaitPointer(on); }

private:
    Prompts& m_inner;
    CommandGate& m_gate;
};
