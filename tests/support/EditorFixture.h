// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "app/KeepsakeEditor.h"
#include "support/FakeLauncher.h"
#include "support/FakePrompts.h"
#include "support/FakeWindowList.h"
#include "support/ListFileBytes.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A collection in a temporary folder: the editor's folder (app/) and the companion's folder
// (companion/, holding Scribble.ini), and an editor without a window, with fake prompts,
// windows and launcher. Text is given as Unicode and stored as CP932 with CR LF line ends
// (ListFileBytes).
class EditorFixture : public ListFileBytes {
public:
    EditorFixture();
    virtual ~EditorFixture();

    QString appFolder() const { return m_dir.path() + QStringLiteral("/app/"); }
    QString companionFolder() const { return m_dir.path() + QStringLiteral("/companion/"); }

    bool exists(const QString& path) const;

    void writeKeepsake(const QByteArray& bytes) const {
        writeFile(companionFolder() + QStringLiteral("KEEPSAKE.HTML"), bytes);
    }
    // A settings file linking the companion folder, with these categories under "Books".
    void writeSettings(const QStringList& books = {}, const QString& extra = {}) const;
    // The smallest collection with something in it: the category Music, and one kept entry.
    void writeSmallCollection() const {
        writeSettings({QStringLiteral("Music")});
        writeKeepsake(listFile(entry(QStringLiteral("a.example/"), QStringLiteral("A"))));
    }

    // Creates the editor and runs its start-up; false when the start ended the program.
    virtual bool start();
    KeepsakeEditor& editor() { return *m_editor; }
    // Shuts the editor down as closing its window does.
    virtual void close();

    // Runs the editor program installed in the collection's folder; nullptr when it does
    // not start.
    std::unique_ptr<QProcess> startProgram(const QProcessEnvironment& env) const;

    FakePrompts prompts;
    FakeWindowList windows;
    FakeLauncher launcher;

protected:
    Platform platform() { return Platform{prompts, windows, launcher}; }
    void setEditor(KeepsakeEditor* editor) { m_editor = editor; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<KeepsakeEditor> m_ownEditor;
    KeepsakeEditor* m_editor = nullptr;
};

// The texts of a list's rows and their item data, in list order.
QStringList itemTexts(const ListRows& list);
QList<int> itemData(const ListRows& list);
