// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/EditorFixture.h"

#include "platform/Cp932Codec.h"

#include <QDir>
#include <QFile>
#include <QTest>

EditorFixture::EditorFixture() {
    QDir().mkpath(appFolder());
    QDir().mkpath(companionFolder());
    writeFile(companionFolder() + QStringLiteral("Scribble.ini"), "[Scribble]\r\n");
}

bool EditorFixture::exists(const QString& path) const {
    return QFile::exists(path);
}

void EditorFixture::writeSettings(const QStringList& books, const QString& extra) const {
    QStringList lines = {QStringLiteral("[Scribble]"),
                         QStringLiteral("Folder=") + companionFolder(), QStringLiteral("[Books]")};
    for (int i = 0; i < books.size(); ++i) {
        lines << QStringLiteral("%1=%2").arg(i, 4, 10, QLatin1Char('0')).arg(books[i]);
    }
    QByteArray bytes = page(lines);
    bytes += cp932::encode(extra);
    writeFile(appFolder() + QStringLiteral("KEEPSAKE.INI"), bytes);
}

EditorFixture::~EditorFixture() = default;

bool EditorFixture::start() {
    m_ownEditor = std::make_unique<KeepsakeEditor>(platform());
    m_editor = m_ownEditor.get();
    return m_editor->Load(appFolder());
}

void EditorFixture::close() {
    if (m_editor)
        m_editor->Unload();
}

QStringList itemTexts(const ListRows& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.text(i);
    return texts;
}

QList<int> itemData(const ListRows& list) {
    QList<int> data;
    for (int i = 0; i < list.count(); ++i)
        data << list.data(i);
    return data;
}

std::unique_ptr<QProcess> EditorFixture::startProgram(const QProcessEnvironment& env) const {
    const QString editor = appFolder() + QStringLiteral("keepsake-editor");
    if (!QFile::exists(editor) && !QFile::copy(QStringLiteral(KEEPSAKE_EDITOR_PATH), editor))
        return nullptr;
    QFile::setPermissions(editor, QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(env);
    process->start(editor, {});
    if (!process->waitForStarted())
        return nullptr;
    return process;
}
