// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/Prompts.h"

#include <QPointer>
#include <QWidget>

// The real prompts: QMessageBox, QInputDialog and the application's override cursor.
class QtPrompts : public Prompts {
public:
    void setParentWindow(QWidget* parent) { m_parent = parent; }

    PromptAnswer message(const QString& text, PromptIcon icon, PromptButtons buttons,
                         const std::optional<QString>& title) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
    void chooseFolder(SharedSettings& settings, const QString& targetFile,
                      const QString& label) override;
    QString chooseFile(bool save, const QString& title, const QString& suggested) override;
    void setWaitPointer(bool on) override;

private:
    QPointer<QWidget> m_parent;
};
