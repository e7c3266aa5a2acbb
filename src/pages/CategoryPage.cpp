// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Selecting a category, and reading and writing its page.
#include "app/KeepsakeEditor.h"
#include "keepsake/Collation.h"
#include "keepsake/EntryArrays.h"
#include "keepsake/ListFileReader.h"
#include "pages/KindPage.h"
#include "pages/PageFormat.h"
#include "pages/PageMarkup.h"
#include "platform/FileLookup.h"
#include "platform/Prompts.h"
#include "platform/TextFile.h"
#include "search/FiledMarks.h"

#include <QScopedValueRollback>
#include <QThreadPool>

#include <memory>
#include <optional>
#include <utility>

using namespace keepsake;

namespace {

// The comments' keys of a stretch read ahead, and with `hashing` the addresses' hashes, made
// on the thread that reads it while its texts are at hand.
struct StretchKeys : ListFileStretchWork {
    StretchKeys(qsizetype expected, bool withHashes) : run(expected), hashing(withHashes) {
        if (hashing)
            urlHashes.reserve(static_cast<std::size_t>(expected));
    }
    void entry(const Entry& e) override {
        run.add(e.com);
        if (hashing)
            urlHashes.push_back(PageMarks::hashOf(e.url));
    }
    collation::KeyRun run;
    const bool hashing;
    std::vector<size_t> urlHashes;
};

// Also hands each comment to the order made while the page is read, and keeps each
// address's hash for the page's marks.
class KindPageHost : public ListFileHost {
public:
    KindPageHost(KeepsakeEditor& w, collation::BackgroundOrder* order,
                 std::vector<size_t>* urlHashes)
        : m_w(w), m_order(order), m_urlHashes(urlHashes) {}

    void entry(Entry e) override {
        const int k = append(e);
        if (m_order)
            m_order->add(m_w.KindCom[k]);
        if (m_urlHashes)
            m_urlHashes->push_back(PageMarks::hashOf(m_w.KindURL[k]));
    }
    std::unique_ptr<ListFileStretchWork> stretchWork(qsizetype size) override {
        if (!m_order)
            return nullptr;
        return std::make_unique<StretchKeys>(size / kBytesPerEntry, m_urlHashes != nullptr);
    }
    void stretch(std::vector<Entry>& entries, std::unique_ptr<ListFileStretchWork> work) override {
        if (!work) {
            ListFileHost::stretch(entries, nullptr);
            return;
        }
        // The keys were made of the texts that now move into the page's lists: their
        // characters stay where they are.
        for (Entry& e : entries)
            append(e);
        auto& made = static_cast<StretchKeys&>(*work);
        m_order->add(std::move(made.run));
        if (m_urlHashes)
            m_urlHashes->insert(m_urlHashes->end(), made.urlHashes.begin(), made.urlHashes.end());
    }
    void failure(const QString& message) override { m_w.platform().prompts.critical(message); }
    bool askContinue() override { return m_w.AskContinue(); }

private:
    // About the bytes an entry's two lines take, to make room for a stretch's keys.
    static constexpr qsizetype kBytesPerEntry = 100;

    int append(Entry& e) {
        return appendEntry(m_w.KindURL, m_w.KindCom, m_w.KindDate, m_w.KindCount, std::move(e.url),
                           std::move(e.com), e.date);
    }

    KeepsakeEditor& m_w;
    collation::BackgroundOrder* m_order;
    std::vector<size_t>* m_urlHashes;  // by entry number
};

// The texts of the page shown before.
struct OldPage {
    QList<QString> urls, coms;
};

// A page of a few thousand entries is freed sooner than another thread is woken for it.
constexpr qsizetype kFreedHere = 4096;
// From so many entries, a page's addresses are hashed for its marks after it is read.
constexpr qsizetype kHashedAfterRead = 4096;

void freeLater(std::shared_ptr<OldPage> page) {
    if (page->urls.size() < kFreedHere)
        return;
    QThreadPool::globalInstance()->start([page]() mutable { page.reset(); });
}

}  // namespace

void KeepsakeEditor::lstKinds_Click() {
    const int row = lstKinds.selectedRow();
    if (row < 0)
        return;
    if (!LeaveKindPage()) {
        // The user stays on the changed page: its category is selected again, and nothing
        // is loaded.
        const QScopedValueRollback keeping(m_keepingKind, true);
        lstKinds.setCurrentRow(rowOfKindPage());
        return;
    }
    const int page = lstKinds.model().page(row);
    const QString pageText = pages::pageNumberText(page);
    const QString fileName = pages::pageFileName(pageText);

    lstSub.model().clear();
    // Freeing the page before, a hundred thousand texts maybe, is left to another thread once
    // the new page is shown: reading and sorting it keep the other cores busy themselves.
    auto old = std::make_shared<OldPage>(OldPage{std::exchange(KindURL, QList<QString>(1)),
                                                 std::exchange(KindCom, QList<QString>(1))});
    KindDate.resize(1);
    KindCount = 0;
    KindLoadedOnce = true;
    KindPage = page;
    KindChanged = false;

    const QString existing = filelookup::findFile(AppFolder, fileName);
    if (existing.isEmpty()) {
        freeLater(std::move(old));
        const QString path = AppFolder + fileName;
        m_platform.prompts.information(
            QStringLiteral("[") + path + QStringLiteral("]は新規作成されます。"),
            QStringLiteral("Not Found!"));
        WaitPointer wait(m_platform.prompts);
        // A name that came back cut stays stored whole.
        if (!lstKinds.model().cut(row))
            WriteIniValue(QStringLiteral("Books"), pageText, lstKinds.model().name(row));
        // A new page says it is Shift_JIS, so browsers need not guess.
        KindHead = pages::withCharsetMeta(pages::skeletonHead(KeepHead));
        KindFoot = pages::skeletonFoot(KeepFoot);
        KindComplete = true;
        QString error;
        if (!textfile::replace(path, pages::composeKindPage(KindHead, {}, {}, KindFoot), &error)) {
            wait.release();
            m_platform.prompts.critical(pages::writeFailedMessage(path, error));
        }
        emit message(QString());
        return;
    }

    WaitPointer wait(m_platform.prompts);
    // The comments' order is made on another thread while the page is read.
    std::optional<collation::BackgroundOrder> order;
    std::vector<size_t> urlHashes;
    const bool success = readKindPage(pageText, &order, &urlHashes);
    if (order)
        order->finish();
    if (success) {
        QList<int> entries;
        entries.reserve(KindCount);
        for (int i = 1; i <= KindCount; ++i)
            entries.append(i);
        // Counted while the comments are sorted on another thread, not while the page is
        // read, when every core is reading; a small page's hashes were made as it was read.
        m_pageMarks->count(entries, &urlHashes);
        m_pageMarksCounted = true;
        if (order && order->count() == entries.size()) {
            QList<int> sorted;
            sorted.reserve(KindCount);
            for (const qsizetype i : order->order())
                sorted.append(entries[i]);
            lstSub.model().setOrdered(sorted);
        } else {
            lstSub.model().addAll(entries);
        }
        m_pageMarksCounted = false;
    } else {
        m_platform.prompts.information(QStringLiteral("データがありません。"),
                                       QStringLiteral("新規ファイルです。"));
    }
    freeLater(std::move(old));
    wait.release();
    emit message(QString());
}

bool KeepsakeEditor::ReadKindPage(const QString& pageNumberText) {
    return readKindPage(pageNumberText, nullptr, nullptr);
}

bool KeepsakeEditor::readKindPage(const QString& pageNumberText,
                                  std::optional<collation::BackgroundOrder>* order,
                                  std::vector<size_t>* urlHashes) {
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
    reserveEntries(KindURL, KindCom, KindDate, bytes);
    if (order)
        order->emplace(KindCom.capacity());
    // A large page's marks are counted while its comments are sorted on another thread,
    // where hashing its addresses keeps nothing waiting; hashing them as they are read would
    // only lengthen the read, which keeps every core busy.
    if (urlHashes && KindCom.capacity() >= kHashedAfterRead)
        urlHashes = nullptr;
    if (urlHashes) {
        urlHashes->reserve(static_cast<std::size_t>(KindCom.capacity()));
        urlHashes->assign(1, 0);  // entry numbers start at 1
    }
    KindPageHost host(*this, order ? &**order : nullptr, urlHashes);
    const ListFileResult result = readListFile(bytes, host, listFileThreads(bytes.size()));
    KindHead = result.head;
    if (result.complete) {
        KindFoot = result.foot;
        KindComplete = true;
    }
    return KindCount > 0;
}

bool KeepsakeEditor::WriteKindPage(const QString& pageNumberText, const QString& title) {
    const QString path = filelookup::pathForWriting(AppFolder, pages::pageFileName(pageNumberText));
    if (!KindComplete) {
        // Without its own footer the page would lose everything after the failed line.
        m_platform.prompts.information(pages::incompletePageMessage(path));
        return false;
    }
    QList<Entry> entries;
    entries.reserve(lstSub.count());
    for (int k : lstSub.model().entries())
        entries.append({KindURL[k], KindCom[k], KindDate[k]});
    const QByteArray bytes = pages::composeKindPage(KindHead, title, entries, KindFoot);
    WaitPointer wait(m_platform.prompts);
    QString error;
    if (!textfile::replace(path, bytes, &error)) {
        wait.release();
        m_platform.prompts.critical(pages::writeFailedMessage(path, error));
        return false;
    }
    if (KindPage >= 0 && pageNumberText == pages::pageNumberText(KindPage))
        KindChanged = false;
    Index->setPage(pageNumberText.toInt(), title, entries);
    return true;
}

int KeepsakeEditor::rowOfKindPage() const {
    for (int row = 0; row < lstKinds.count(); ++row) {
        if (lstKinds.model().page(row) == KindPage)
            return row;
    }
    return -1;
}

bool KeepsakeEditor::LeaveKindPage() {
    const int row = KindPage >= 0 ? rowOfKindPage() : -1;
    if (!KindChanged || row < 0)
        return true;
    const QString name = lstKinds.model().name(row);
    switch (m_platform.prompts.question(QStringLiteral("「") + name +
                                        QStringLiteral("」の変更を書き出しますか？"))) {
        case PromptAnswer::Yes:
            // Written as "リスト書き出し" writes it; a page that cannot be written keeps the
            // user on it, with the box that said why.
            return WriteKindPage(pages::pageNumberText(KindPage), name);
        case PromptAnswer::No:
            return true;
        case PromptAnswer::Ok:
        case PromptAnswer::Cancel:
            break;
    }
    return false;
}
