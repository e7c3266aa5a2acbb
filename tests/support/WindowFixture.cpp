// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/WindowFixture.h"

#include "dialogs/FolderDialog.h"
#include "support/RealInput.h"

#include <QLabel>
#include <QTest>

WindowFixture::WindowFixture() {
    prompts.folderDialog = [this](SharedSettings& settings, const QString& targetFile,
                                  const QString& label) {
        frmFolder dialog(settings, prompts);
        dialog.TargetFile = targetFile;
        dialog.Label1->setText(label);
        dialog.Form_Load();
        if (auto handler = prompts.takeDialogHandler()) {
            handler(dialog);
        } else {
            prompts.countUnscripted();
            dialog.reject();
        }
    };
}

WindowFixture::~WindowFixture() = default;

bool WindowFixture::start() {
    m_window = std::make_unique<Refile>(platform());
    setEditor(&m_window->editor());
    return m_window->Load(appFolder());
}

bool WindowFixture::startWithRealBoxes(WindowList& realWindows) {
    m_realPrompts = std::make_unique<QtPrompts>();
    m_window = std::make_unique<Refile>(Platform{*m_realPrompts, realWindows, launcher});
    m_realPrompts->setParentWindow(m_window.get());
    setEditor(&m_window->editor());
    if (!m_window->Load(appFolder()))
        return false;
    m_window->show();
    return QTest::qWaitForWindowExposed(m_window.get()) && realinput::activate(m_window.get());
}

void WindowFixture::close() {
    if (m_window)
        m_window->close();
}
