// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>

class KeepsakeEditor;

// Which addresses a link check asks about, and the two changes its results may lead to. The
// changes touch only the loaded page and lstSub, as Delete and "コメント修正" do: nothing is
// written until the user writes the list.
namespace linkcheck {

struct Target {
    QString com;
    QString url;  // as the page keeps it: without "http://"
    QString category;
    int page = -1;
};

// The entries of the loaded page, in the order of lstSub.
QList<Target> loadedPage(const KeepsakeEditor& editor);
// Every category's entries in the order of lstKinds: the loaded page as it stands now, the
// others as the collection's index read them.
QList<Target> wholeCollection(const KeepsakeEditor& editor);

// The rows of lstSub that hold `targets`, one distinct row each, or nothing when one of them
// is not on the loaded page (any more).
QList<int> loadedRows(const KeepsakeEditor& editor, const QList<Target>& targets);

// Removes `targets` from lstSub, as Delete does. False, changing nothing, when one is not on
// the loaded page.
bool removeFromPage(KeepsakeEditor& editor, const QList<Target>& targets);
// Gives each target on the loaded page the address in `to` (absolute; "http://" is dropped
// as the pages keep it). False, changing nothing, when one is not on the loaded page.
bool replaceAddresses(KeepsakeEditor& editor, const QList<Target>& targets,
                      const QList<QString>& to);

// An absolute address as the pages keep it.
QString keptForm(const QString& absolute);

}  // namespace linkcheck
