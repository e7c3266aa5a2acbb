// Selecting a category, and reading and writing its page.
#include "app/Refile.h"
#include "app/SortedList.h"
#include "keepsake/EntryArrays.h"
#include "keepsake/ListFileReader.h"
#include "pages/KindPage.h"
#include "pages/KindSelection.h"
#include "pages/PageFormat.h"
#include "platform/FileLookup.h"
#include "platform/Prompts.h"
#include "platform/TextFile.h"

#include <QLabel>
#include <QListWidget>

using namespace keepsake;

namespace {

class KindPageHost : public ListFileHost {
public:
    explicit KindPageHost(Refile& w) : m_w(w) {}

    void entry(Entry e) override {
        appendEntry(m_w.KindURL, m_w.KindCom, m_w.KindDate, m_w.KindCount, std::move(e.url),
                    std::move(e.com), e.date);
    }
    void failure(const QString& message) override { m_w.platform().prompts.critical(message); }
    bool askContinue() override { return m_w.AskContinue(); }

private:
    Refile& m_w;
};

}  // namespace

void Refile::lstKinds_Click() {
    const int row = selectedKindRow(lstKinds);
    if (row < 0)
        return;
    const QString pageText = pages::pageNumberText(sortedlist::itemData(lstKinds, row));
    const QString fileName = pages::pageFileName(pageText);

    lstSub->clear();
    KindURL.resize(1);
    KindCom.resize(1);
    KindDate.resize(1);
    KindCount = 0;
    KindLoadedOnce = true;

    const QString existing = filelookup::findFile(AppFolder, fileName);
    if (existing.isEmpty()) {
        const QString path = AppFolder + fileName;
        m_platform.prompts.information(
            QStringLiteral("[") + path + QStringLiteral("]は新規作成されます。"),
            QStringLiteral("Not Found!"));
        WaitPointer wait(m_platform.prompts);
        WriteIniValue(QStringLiteral("Books"), pageText, lstKinds->item(row)->text());
        KindHead = pages::skeletonHead(KeepHead);
        KindFoot = pages::skeletonFoot(KeepFoot);
        KindComplete = true;
        QString error;
        if (!textfile::replace(path, pages::composeKindPage(KindHead, {}, {}, KindFoot), &error)) {
            wait.release();
            m_platform.prompts.critical(pages::writeFailedMessage(path, error));
        }
        lblMsg->clear();
        return;
    }

    WaitPointer wait(m_platform.prompts);
    const bool success = ReadKindPage(pageText);
    if (success) {
        QList<sortedlist::Item> items;
        items.reserve(KindCount);
        for (int i = 1; i <= KindCount; ++i)
            items.append({KindCom[i], i});
        sortedlist::addAll(lstSub, items);
    } else {
        m_platform.prompts.information(QStringLiteral("データがありません。"),
                                       QStringLiteral("新規ファイルです。"));
    }
    wait.release();
    lblMsg->clear();
}

bool Refile::ReadKindPage(const QString& pageNumberText) {
    KindCount = 0;
    KindHead.clear();
    KindComplete = false;
    const QString fileName = pages::pageFileName(pageNumberText);
    const QString path = filelookup::findFile(AppFolder, fileName);
    QByteArray bytes;
    QString error;
    if (path.isEmpty() || !textfile::readAll(path, &bytes, &error)) {
        m_platform.prompts.critical(QStringLiteral("[") + AppFolder + fileName +
                                    QStringLiteral("]を読み込めませんでした。\n") + error);
        return false;
    }
    KindPageHost host(*this);
    const ListFileResult result = readListFile(bytes, host);
    KindHead = result.head;
    if (result.complete) {
        KindFoot = result.foot;
        KindComplete = true;
    }
    return KindCount > 0;
}

bool Refile::WriteKindPage(const QString& pageNumberText, const QString& title) {
    const QString path = filelookup::pathForWriting(AppFolder, pages::pageFileName(pageNumberText));
    if (!KindComplete) {
        // Without its own footer the page would lose everything after the failed line.
        m_platform.prompts.information(pages::incompletePageMessage(path));
        return false;
    }
    const int rows = lstSub->count();
    QList<Entry> entries;
    entries.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        const int k = sortedlist::itemData(lstSub, row);
        entries.append({KindURL[k], KindCom[k], KindDate[k]});
    }
    const QByteArray bytes = pages::composeKindPage(KindHead, title, entries, KindFoot);
    WaitPointer wait(m_platform.prompts);
    QString error;
    if (!textfile::replace(path, bytes, &error)) {
        wait.release();
        m_platform.prompts.critical(pages::writeFailedMessage(path, error));
        return false;
    }
    return true;
}
