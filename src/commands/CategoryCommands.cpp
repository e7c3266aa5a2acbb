// Adding and renaming categories, and writing out the loaded category page.
#include "app/Refile.h"
#include "app/SortedList.h"
#include "commands/NameRules.h"
#include "pages/PageFormat.h"
#include "platform/Prompts.h"

#include <QListWidget>

void Refile::cmdNew_Click() {
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
    const int page = lstKinds->count();
    {
        // Adding an item must not load a page: only a click does.
        const QSignalBlocker quiet(lstKinds);
        const int current = lstKinds->currentRow();
        const int row = sortedlist::add(lstKinds, name, page);
        if (current >= 0)
            lstKinds->setCurrentRow(current >= row ? current + 1 : current);
    }
    settings.IniSection = QStringLiteral("Books");
    settings.IniKey = pages::pageNumberText(page);
    WriteIniValue(name);
}

void Refile::Command1_Click() {
    const int row = lstKinds->currentRow();
    if (row < 0) {
        m_platform.prompts.information(QStringLiteral("項目を指定してください。"));
        return;
    }
    QListWidgetItem* item = lstKinds->item(row);
    const QString oldName = item->text();
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
    item->setText(name);
    settings.IniSection = QStringLiteral("Books");
    settings.IniKey = pages::pageNumberText(sortedlist::itemData(lstKinds, row));
    WriteIniValue(item->text());
}

void Refile::cmdSave_Click() {
    const int row = lstKinds->currentRow();
    if (row < 0) {
        m_platform.prompts.information(QStringLiteral("ファイルが選択されていません"));
        return;
    }
    WriteKindPage(pages::pageNumberText(sortedlist::itemData(lstKinds, row)),
                  lstKinds->item(row)->text());
}
