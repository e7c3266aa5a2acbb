// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Adding and renaming categories, and writing out the loaded category page.
#include "app/KeepsakeEditor.h"
#include "commands/NameRules.h"
#include "pages/KindNumbers.h"
#include "pages/PageFormat.h"
#include "platform/FileLookup.h"
#include "platform/Prompts.h"

void KeepsakeEditor::cmdNew_Click() {
    const QString answer =
        m_platform.prompts.input(QStringLiteral("追加する項目名を入力してください。"),
                                 QStringLiteral("新規項目"), QString());
    const QString name = namerules::tidy(answer);
    if (name.isEmpty())
        return;
    if (const QString refusal = namerules::refusal(name); !refusal.isEmpty()) {
        m_platform.prompts.information(refusal);
        return;
    }
    // The new category takes a page number that no stored name and no page file holds, so
    // that nothing stored after a gap in the list is overwritten.
    const filelookup::FolderFiles files(AppFolder);
    const kindnumbers::NewPage choice = kindnumbers::newPageNumber(
        kindnumbers::readBooks(settings.IniPath), lstKinds.count(), [&files](int n) {
            return !files.find(pages::pageFileName(pages::pageNumberText(n))).isEmpty();
        });
    if (choice.page < 0) {
        const QString fileName = pages::pageFileName(pages::pageNumberText(choice.blocked));
        m_platform.prompts.information(
            QStringLiteral("[") + filelookup::pathForWriting(AppFolder, fileName) +
            QStringLiteral("]が、項目名の無いまま残っています。このままでは新しい項目が一覧に"
                           "載らないため、追加しません。このファイルを移してから追加して"
                           "ください。"));
        return;
    }
    const int page = choice.page;
    // Listed only once stored: a category that is not in the settings file would be linked in
    // the index and then be gone at the next start.
    if (!WriteIniValue(QStringLiteral("Books"), pages::pageNumberText(page), name))
        return;
    {
        // Adding an item must not load a page (only a selection does) nor change which
        // category is selected.
        const QSignalBlocker quiet(lstKinds.selection());
        const int selected = lstKinds.selectedRow();
        const int row = lstKinds.model().add(name, page);
        if (selected >= 0)
            lstKinds.setCurrentRow(selected >= row ? selected + 1 : selected);
        else
            lstKinds.clearSelection();
    }
    Index->setName(page, name);
}

void KeepsakeEditor::Command1_Click() {
    const int row = lstKinds.selectedRow();
    if (row < 0) {
        m_platform.prompts.information(QStringLiteral("項目を指定してください。"));
        return;
    }
    const QString oldName = lstKinds.model().name(row);
    const QString answer =
        m_platform.prompts.input(QStringLiteral("変更後の項目名を入力してください。"),
                                 QStringLiteral("項目名変更"), oldName);
    QString name = namerules::tidy(answer);
    if (name.isEmpty())
        name = oldName;
    if (const QString refusal = namerules::refusal(name); !refusal.isEmpty() && name != oldName) {
        m_platform.prompts.information(refusal);
        return;
    }
    // A name that came back cut is never written back; a new one replaces it. The list shows the
    // new name only once it is stored.
    if (lstKinds.model().cut(row) && name == oldName)
        return;
    if (!WriteIniValue(QStringLiteral("Books"), pages::pageNumberText(lstKinds.model().page(row)),
                       name)) {
        return;
    }
    lstKinds.model().rename(row, name);
    Index->setName(lstKinds.model().page(row), name);
}

void KeepsakeEditor::cmdSave_Click() {
    const int row = lstKinds.selectedRow();
    if (row < 0) {
        m_platform.prompts.information(QStringLiteral("ファイルが選択されていません"));
        return;
    }
    WriteKindPage(pages::pageNumberText(lstKinds.model().page(row)), lstKinds.model().name(row));
}
