// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Changing comments, copying kept entries into the loaded category, removing entries.
#include "app/KeepsakeEditor.h"
#include "app/KeyCodes.h"
#include "commands/NameRules.h"
#include "keepsake/EntryArrays.h"
#include "platform/Prompts.h"
#include "search/FiledMarks.h"

void KeepsakeEditor::cmdEditCom_Click() {
    const int row = lstSub.selectedCurrentRow();
    if (row < 0)
        return;
    const int k = lstSub.model().entryAt(row);
    if (k < 0 || k >= KindCom.size())
        return;
    const QString oldComment = KindCom[k];
    QString answer = m_platform.prompts.input(QStringLiteral("新しいコメントを設定してください。"),
                                              QStringLiteral("コメント変更"), oldComment);
    if (answer.isEmpty())
        answer = oldComment;
    if (answer != oldComment) {
        if (const QString refusal = namerules::commentRefusal(answer); !refusal.isEmpty()) {
            m_platform.prompts.information(refusal);
            return;
        }
    }
    if (answer != oldComment)
        KindChanged = true;
    KindCom[k] = answer;
    lstSub.model().textChanged(row);
}

void KeepsakeEditor::cmdMove_Click() {
    // The selected entries go in the order the front list shows them, each after the
    // entries whose comments compare equal to its own. They join the list in one batch, so
    // that moving many entries does not shift the list once for each.
    const ListOf<EntryListModel>& front = lstURLs[FrontList];
    QList<int> added;
    bool sameAddress = false;
    for (int row : front.selectedRows()) {
        const int k = front.model().entryAt(row);
        sameAddress = sameAddress || m_pageMarks->holds(KeepURL[k]);
        added.append(appendEntry(KindURL, KindCom, KindDate, KindCount, KeepURL[k], KeepCom[k],
                                 KeepDate[k]));
    }
    if (!added.isEmpty())
        KindChanged = true;
    if (added.size() == 1) {
        lstSub.model().add(added.first());
    } else if (!added.isEmpty()) {
        lstSub.keepingSelection([&] { lstSub.model().addAll(added); });
    }
    // Added all the same: the user may mean to keep both.
    if (sameAddress)
        emit message(kMsgSameAddress);
}

void KeepsakeEditor::lstSub_KeyUp(int& keyCode, Qt::KeyboardModifiers shift) {
    Q_UNUSED(shift);
    const int row = lstSub.selectedCurrentRow();
    if (row < 0)
        return;
    if (keyCode == keycodes::kDelete) {
        lstSub.model().removeAt(row);
        KindChanged = true;
        // The list would move the selection on to the next entry, and a second Delete would
        // remove that one too; the user selects the next entry to remove.
        lstSub.selection()->clear();
        keyCode = 0;
    }
}
