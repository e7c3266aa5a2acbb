// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "linkcheck/LinkTargets.h"

#include "app/KeepsakeEditor.h"

#include <algorithm>

namespace linkcheck {

namespace {

QString categoryOf(const KeepsakeEditor& editor, int page) {
    const CategoryListModel& kinds = editor.lstKinds.model();
    for (int row = 0; row < kinds.count(); ++row) {
        if (kinds.page(row) == page)
            return kinds.name(row);
    }
    return {};
}

}  // namespace

QList<Target> loadedPage(const KeepsakeEditor& editor) {
    QList<Target> targets;
    const QString category = categoryOf(editor, editor.KindPage);
    for (const int k : editor.lstSub.model().entries())
        targets.append(
            {editor.KindCom.value(k), editor.KindURL.value(k), category, editor.KindPage});
    return targets;
}

QList<Target> wholeCollection(const KeepsakeEditor& editor) {
    QList<Target> targets;
    const CategoryListModel& kinds = editor.lstKinds.model();
    for (int row = 0; row < kinds.count(); ++row) {
        const int page = kinds.page(row);
        if (page == editor.KindPage) {
            targets += loadedPage(editor);
            continue;
        }
        for (const keepsake::Entry& entry : editor.Index->entriesOf(page))
            targets.append({entry.com, entry.url, kinds.name(row), page});
    }
    return targets;
}

QList<int> loadedRows(const KeepsakeEditor& editor, const QList<Target>& targets) {
    QList<int> rows;
    const QList<int>& entries = editor.lstSub.model().entries();
    for (const Target& target : targets) {
        if (editor.KindPage < 0 || target.page != editor.KindPage)
            return {};
        int found = -1;
        for (int r = 0; r < entries.size() && found < 0; ++r) {
            const int k = entries[r];
            if (!rows.contains(r) && editor.KindURL.value(k) == target.url &&
                editor.KindCom.value(k) == target.com)
                found = r;
        }
        if (found < 0)
            return {};
        rows.append(found);
    }
    return rows;
}

bool removeFromPage(KeepsakeEditor& editor, const QList<Target>& targets) {
    QList<int> rows = loadedRows(editor, targets);
    if (rows.isEmpty())
        return false;
    std::sort(rows.begin(), rows.end(), std::greater<>());
    for (const int row : rows)
        editor.lstSub.model().removeAt(row);
    editor.lstSub.selection()->clear();
    editor.KindChanged = true;
    return true;
}

bool replaceAddresses(KeepsakeEditor& editor, const QList<Target>& targets,
                      const QList<QString>& to) {
    const QList<int> rows = loadedRows(editor, targets);
    if (rows.isEmpty() || to.size() != rows.size())
        return false;
    for (int i = 0; i < rows.size(); ++i) {
        const int k = editor.lstSub.model().entryAt(rows[i]);
        const QString address = keptForm(to[i]);
        if (address.isEmpty() || editor.KindURL[k] == address)
            continue;
        editor.KindURL[k] = address;
        editor.KindChanged = true;
        editor.lstSub.model().textChanged(rows[i]);
    }
    return true;
}

QString keptForm(const QString& absolute) {
    static const QString kHttp = QStringLiteral("http://");
    return absolute.startsWith(kHttp) ? absolute.mid(kHttp.size()) : absolute;
}

}  // namespace linkcheck
