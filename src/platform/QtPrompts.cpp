// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/QtPrompts.h"

#include "dialogs/FolderDialog.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

PromptAnswer QtPrompts::message(const QString& text, PromptIcon icon, PromptButtons buttons,
                                const std::optional<QString>& title) {
    QMessageBox box(m_parent);
    box.setWindowTitle(title.value_or(kProgramTitle));
    box.setText(text);
    switch (icon) {
        case PromptIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case PromptIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case PromptIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case PromptIcon::None:
            break;
    }
    switch (buttons) {
        case PromptButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            box.setDefaultButton(QMessageBox::Ok);
            break;
        case PromptButtons::YesNoCancel:
            // The Japanese captions with their access keys, which the box also takes without
            // Alt, whatever translation of the toolkit is loaded.
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
            box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
            box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case PromptButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
    }
    // A message must be readable, so the wait pointer steps aside while it is up.
    const bool waiting = QApplication::overrideCursor() != nullptr;
    if (waiting)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    if (waiting)
        QApplication::restoreOverrideCursor();
    switch (answer) {
        case QMessageBox::Ok:
            return PromptAnswer::Ok;
        case QMessageBox::Yes:
            return PromptAnswer::Yes;
        case QMessageBox::No:
            return PromptAnswer::No;
        default:
            return PromptAnswer::Cancel;
    }
}

QString QtPrompts::input(const QString& prompt, const QString& title, const QString& defaultText) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(m_parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? answer : QString();
}

void QtPrompts::chooseFolder(SharedSettings& settings, const QString& targetFile,
                             const QString& label) {
    // Over the window once it is shown; before that, on its own.
    frmFolder dialog(settings, *this, m_parent && m_parent->isVisible() ? m_parent : nullptr);
    dialog.TargetFile = targetFile;
    dialog.Label1->setText(label);
    dialog.Form_Load();
    dialog.exec();
}

void QtPrompts::setWaitPointer(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (QApplication::overrideCursor()) {
        QApplication::restoreOverrideCursor();
    }
}

QString QtPrompts::chooseFile(bool save, const QString& title, const QString& suggested) {
    const QString filter = QStringLiteral("ブックマーク (*.html *.htm);;すべてのファイル (*)");
    return save ? QFileDialog::getSaveFileName(QApplication::activeWindow(), title, suggested,
                                               filter)
                : QFileDialog::getOpenFileName(QApplication::activeWindow(), title, suggested,
                                               filter);
}
