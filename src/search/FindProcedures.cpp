// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The collection's index in the editor: building it, the marks of filed entries, hiding
// them, and bringing a found entry into view.
#include "app/KeepsakeEditor.h"
#include "search/FiledMarks.h"
#include "settings/EditorPreferences.h"

#include <utility>

void KeepsakeEditor::setUpMarks() {
    Index = new CollectionIndex(this);
    m_keptMarks = std::make_unique<KeptMarks>(KeepURL, *Index);
    m_pageMarks = std::make_unique<PageMarks>(KindURL);
    for (auto& list : lstURLs)
        list.model().setMarks(m_keptMarks.get());
    lstSub.model().setMarks(m_pageMarks.get());
    connect(Index, &CollectionIndex::filedChanged, this, [this] { refreshMarks(); });

    // An address twice in the loaded page is marked in both rows.
    EntryListModel* sub = &lstSub.model();
    auto recount = [this, sub] {
        // A page just read was counted as it was shown.
        if (!std::exchange(m_pageMarksCounted, false))
            m_pageMarks->count(sub->entries());
        sub->marksChanged();
    };
    connect(sub, &QAbstractItemModel::rowsInserted, this, recount);
    connect(sub, &QAbstractItemModel::rowsRemoved, this, recount);
    connect(sub, &QAbstractItemModel::modelReset, this, recount);
}

void KeepsakeEditor::BuildIndex() {
    QList<CollectionIndex::Category> categories;
    const CategoryListModel& kinds = lstKinds.model();
    categories.reserve(kinds.count());
    for (int row = 0; row < kinds.count(); ++row)
        categories.append({kinds.page(row), kinds.name(row)});
    Index->build(AppFolder, categories);
    // The read at start has given the index the kept entries already: folding them a second
    // time would hold two folds of a hundred thousand entries at once.
    if (!m_keptIndexed)
        Index->setKept(KeepURL, KeepCom, KeepDate, KeepCount);
}

void KeepsakeEditor::forgetKeptMarks() {
    m_keptMarks->forget();
}

void KeepsakeEditor::refreshMarks() {
    m_keptMarks->forget();
    for (auto& list : lstURLs) {
        if (HideFiled) {
            list.keepingSelection([&list] { list.model().marksChanged(); });
        } else {
            list.model().marksChanged();
        }
    }
}

void KeepsakeEditor::mn_HideFiled_Click(bool hide) {
    if (hide != HideFiled) {
        HideFiled = hide;
        for (auto& list : lstURLs)
            list.keepingSelection([&list, hide] { list.model().setHideMarked(hide); });
        emit displayChanged();
    }
    if (hide != preferences::hideFiled()) {
        QString error;
        if (!preferences::setHideFiled(hide, &error))
            m_platform.prompts.critical(error);
    }
}

void KeepsakeEditor::selectCategoryRow(int row) {
    lstKinds.setCurrentRow(row);
}

void KeepsakeEditor::ShowFound(const CollectionIndex::Hit& hit) {
    if (hit.page < 0) {
        if (hit.entry < 1 || hit.entry > KeepCount)
            return;
        if (HideFiled && m_keptMarks->marked(hit.entry))
            mn_HideFiled_Click(false);
        ListOf<EntryListModel>& front = lstURLs[FrontList];
        const int row = static_cast<int>(front.model().entries().indexOf(hit.entry));
        if (row >= 0)
            front.setCurrentRow(row);
        return;
    }
    int row = -1;
    for (int r = 0; r < lstKinds.count() && row < 0; ++r) {
        if (lstKinds.model().page(r) == hit.page)
            row = r;
    }
    if (row < 0)
        return;
    if (lstKinds.selectedRow() != row) {
        // Selecting asks first when the loaded page has changes; on キャンセル the old
        // category stays selected, and so does the entry.
        selectCategoryRow(row);
        if (lstKinds.selectedRow() != row)
            return;
    }
    const QList<int>& entries = lstSub.model().entries();
    for (int r = 0; r < entries.size(); ++r) {
        const int k = entries[r];
        if (KindURL.value(k) == hit.url && KindCom.value(k) == hit.com) {
            lstSub.setCurrentRow(r);
            return;
        }
    }
}
