// Changing comments, copying kept entries into the loaded category, removing entries.
#include "app/KeyCodes.h"
#include "app/Refile.h"
#include "app/SortedList.h"
#include "commands/NameRules.h"
#include "keepsake/EntryArrays.h"
#include "platform/Prompts.h"

#include <QItemSelectionModel>
#include <QListWidget>

void Refile::cmdEditCom_Click() {
    const int row = lstSub->currentRow();
    if (row < 0 || !lstSub->item(row)->isSelected())
        return;
    const int k = sortedlist::itemData(lstSub, row);
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
    KindCom[k] = answer;
    lstSub->item(row)->setText(answer);
}

void Refile::cmdMove_Click() {
    QListWidget* front = lstURLs[frontList()];
    const int count = front->count();
    for (int row = 0; row < count; ++row) {
        if (!front->item(row)->isSelected())
            continue;
        const int k = sortedlist::itemData(front, row);
        const int n =
            appendEntry(KindURL, KindCom, KindDate, KindCount, KeepURL[k], KeepCom[k], KeepDate[k]);
        sortedlist::add(lstSub, KindCom[n], n);
    }
}

void Refile::lstSub_KeyUp(int& keyCode, Qt::KeyboardModifiers shift) {
    Q_UNUSED(shift);
    const int row = lstSub->currentRow();
    if (row < 0 || !lstSub->item(row)->isSelected())
        return;
    if (keyCode == keycodes::kDelete) {
        delete lstSub->takeItem(row);
        // The list would move the selection on to the next entry, and a second Delete would
        // remove that one too; the user selects the next entry to remove.
        lstSub->selectionModel()->clear();
        keyCode = 0;
    }
}
