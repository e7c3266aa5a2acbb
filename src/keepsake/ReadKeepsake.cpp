// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reading the keepsake file into the kept entries and the three kept-entry lists, and
// showing them.
#include "app/KeepsakeEditor.h"
#include "keepsake/Collation.h"
#include "keepsake/EntryArrays.h"
#include "keepsake/KeepsakeWatch.h"
#include "keepsake/ListFileReader.h"
#include "pages/PageFormat.h"
#include "platform/FileLookup.h"
#include "platform/Prompts.h"
#include "platform/TextFile.h"

#include <QCoreApplication>

#include <array>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <utility>

using namespace keepsake;

namespace {

const QString kWorkingCopy = QStringLiteral("KEEPSAKE.TMP");
const QString kMissingFile = QStringLiteral("ファイルが見つかりません。");

// Collects the entries of one read and moves them into the kept-entry lists in batches: all
// at once at the end, or before any message, so that a message sees the lists as they stand.
//
// The keepsake file only grows: a read usually finds the entries of the read before it,
// unchanged, at the same places. A sorted list then keeps the order it had for them, as a
// sort of their same texts would give it again, and only the entries after them are sorted
// in.
class KeepsakeHost : public ListFileHost {
public:
    // `beforeMessage` runs before the read's first message.
    KeepsakeHost(KeepsakeEditor& w, const std::function<void()>& beforeMessage)
        : m_w(w), m_beforeMessage(beforeMessage) {}

    void listStarts() override {
        m_before = m_w.KeepCount;
        for (std::size_t i = 0; i < m_orders.size(); ++i)
            m_orders[i] = m_w.lstURLs[i].model().order();
        m_w.KeepCount = 0;
        m_w.forgetKeptMarks();
        for (auto& list : m_w.lstURLs)
            list.model().clear();
        // Every entry is new (the first read): the address order is made while they come.
        if (m_before == 0)
            m_addressOrder = std::make_unique<collation::BackgroundOrder>(m_w.KeepURL.capacity());
    }

    void entry(Entry e) override {
        const int k = m_w.KeepCount + 1;
        const bool same = k <= m_before && e.url == m_w.KeepURL[k] && e.com == m_w.KeepCom[k];
        m_unchanged = m_unchanged && same;
        if (m_unchanged)
            m_sameUpTo = k;
        if (same) {
            // The texts held stay; the ones just read go, while the memory they took is
            // still at hand for the next ones.
            m_w.KeepCount = k;
            m_w.KeepDate[k] = e.date;
            m_pending.append(k);
            return;
        }
        const int added = appendEntry(m_w.KeepURL, m_w.KeepCom, m_w.KeepDate, m_w.KeepCount,
                                      std::move(e.url), std::move(e.com), e.date);
        m_pending.append(added);
        if (m_addressOrder)
            m_addressOrder->add(m_w.KeepURL[added]);
    }

    void failure(const QString& message) override {
        m_beforeMessage();
        flush();
        m_w.platform().prompts.critical(message);
    }

    bool askContinue() override {
        m_beforeMessage();
        flush();
        return m_w.AskContinue();
    }

    void flush() {
        if (m_pending.isEmpty())
            return;
        // Only the first batch, holding every entry of the read before, keeps its order.
        const bool keepOrder = !m_flushed && m_before > 0 && m_sameUpTo == m_before;
        m_flushed = true;
        const std::unique_ptr<collation::BackgroundOrder> addressOrder = std::move(m_addressOrder);
        if (addressOrder)
            addressOrder->finish();
        // The address list comes last: its order is made on another thread meanwhile.
        for (const std::size_t i : {std::size_t{1}, std::size_t{2}, kAddressList}) {
            EntryListModel& model = m_w.lstURLs[i].model();
            if (i == kAddressList && addressOrder && addressOrder->count() == m_pending.size()) {
                QList<int> ordered;
                ordered.reserve(m_pending.size());
                for (const qsizetype at : addressOrder->order())
                    ordered.append(m_pending[at]);
                model.setOrdered(ordered);
            } else if (keepOrder && m_orders[i] && m_orders[i]->size() == m_before) {
                model.setOrdered(*m_orders[i]);
                model.addAll(m_pending.mid(m_before));
            } else {
                model.addAll(m_pending);
            }
        }
        m_orders = {};
        m_pending.clear();
    }

private:
    KeepsakeEditor& m_w;
    const std::function<void()>& m_beforeMessage;
    QList<int> m_pending;
    int m_before = 0;         // the entries of the read before
    bool m_unchanged = true;  // every entry so far is the one before at its place
    int m_sameUpTo = 0;       // the entries found unchanged
    bool m_flushed = false;
    std::array<std::optional<QList<int>>, 3> m_orders;
    // The address list's order of the first batch, made on another thread as it is read.
    static constexpr std::size_t kAddressList = 0;
    std::unique_ptr<collation::BackgroundOrder> m_addressOrder;
};

// The system's reason alone would not say which file it is about.
QString readFailedMessage(const QString& path, const QString& reason) {
    return QStringLiteral("[") + path + QStringLiteral("]を読み込めませんでした。\n") + reason;
}

// Lets timers and painting through once, but no user input: a command must not start in
// the middle of a read.
void processPendingEventsOnce() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace

void KeepsakeEditor::ReadKeepsake(const QString& name) {
    const CommandGate::Hold reading(m_commands);
    std::optional<WaitPointer> wait;
    wait.emplace(m_platform.prompts);
    const QString& companion = settings.CompanionFolder;
    m_keepsakeWatch->reading(companion, name);
    if (!KeepsakeNotice.isEmpty()) {
        KeepsakeNotice.clear();
        emit message(QString());
    }
    QString path = filelookup::findFile(companion, name);
    const QString workingCopy = filelookup::findFile(AppFolder, kWorkingCopy);

    auto fatal = [&](const QString& text) {
        wait.reset();
        m_platform.prompts.critical(text);
        endProgram(1);
    };
    // A copy that could not be written is said, and the read goes on from the other file.
    auto writeFailed = [&](const QString& file, const QString& reason) {
        wait.reset();
        m_platform.prompts.critical(pages::writeFailedMessage(file, reason));
        wait.emplace(m_platform.prompts);
    };

    // The bytes to read: those of the working copy, once it holds what the keepsake file
    // holds.
    QByteArray bytes;
    QString error;
    std::future<std::optional<QString>> copying;
    std::function<void()> settleCopy = [] {};
    if (path.isEmpty()) {
        // The keepsake file has gone: bring it back from the last working copy.
        if (workingCopy.isEmpty()) {
            // Nothing to read yet (a new collection, or a companion not linked): say so and go
            // on with what is listed, so that the user reaches the window and its folder
            // command instead of being shut out at every start.
            wait.reset();
            m_platform.prompts.critical(companion + name + kMissingFile);
            optKind_Click(FrontList);
            return;
        }
        path = companion + name;
        if (!textfile::readAll(workingCopy, &bytes, &error)) {
            fatal(readFailedMessage(workingCopy, error));
            return;
        }
        if (!textfile::replace(path, bytes, &error))
            writeFailed(path, error);
    } else {
        // Make a fresh working copy, the backup that brings a lost keepsake file back. When it
        // cannot be written the old copy stays as it was, and the keepsake file itself is read:
        // the old copy would show stale entries. A copy that holds the same bytes already is
        // left as it is: reading again a file that has not changed writes nothing.
        const QString copyPath = workingCopy.isEmpty() ? AppFolder + kWorkingCopy : workingCopy;
        if (!textfile::readAll(path, &bytes, &error)) {
            fatal(readFailedMessage(path, error));
            return;
        }
        // The copy is written while the bytes are read (the disk's wait overlaps the work), or
        // when it is settled if no thread is to be had; its failure is said before any message
        // of the read, or once the lists are filled.
        copying = std::async(
            std::launch::async | std::launch::deferred, [workingCopy, copyPath, bytes]() {
                QString reason;
                if (workingCopy.isEmpty() || !textfile::holds(workingCopy, bytes)) {
                    if (!textfile::replace(copyPath, bytes, &reason))
                        return std::optional<QString>(reason);
                }
                return std::optional<QString>();
            });
        settleCopy = [&copying, &writeFailed, copyPath] {
            if (!copying.valid())
                return;
            if (const std::optional<QString> reason = copying.get())
                writeFailed(copyPath, *reason);
        };
        processPendingEventsOnce();
    }

    KeepsakeHost host(*this, settleCopy);
    reserveEntries(KeepURL, KeepCom, KeepDate, bytes);
    const ListFileResult result = readListFile(bytes, host);
    bytes = QByteArray();  // the file's copy is not needed while the lists fill
    host.flush();
    settleCopy();
    // New pages are made from the header and footer of the last complete read: a read that
    // failed (the companion caught writing the file) would give them a broken header.
    if (result.complete) {
        KeepHead = result.head;
        KeepFoot = result.foot;
    }
    Index->setKept(KeepURL, KeepCom, KeepDate, KeepCount);
    m_keptIndexed = true;

    if (KeepCount > 0) {
        for (auto& list : lstURLs)
            list.setCurrentRow(0);
    }
    // The address list comes to the front, and its button is checked with it, so that
    // cmdMove takes from the list the user sees.
    optKind_Click(0);
}

bool KeepsakeEditor::AskContinue() {
    const PromptAnswer answer = m_platform.prompts.message(kMsgContinue, PromptIcon::Critical,
                                                           PromptButtons::OkCancel, std::nullopt);
    ApiResult = answer == PromptAnswer::Ok ? 1 : 2;
    return answer == PromptAnswer::Ok;
}

void KeepsakeEditor::lstURLs_Click(int index) {
    const int k = lstURLs[index].data(lstURLs[index].currentRow());
    if (k < 1 || k >= KeepURL.size())
        return;
    ComDisplay = index == 1 ? KeepURL[k] : KeepCom[k];
    DateDisplay = formatGeneralDate(KeepDate[k]);
    emit displayChanged();
}

// The window shows the chosen list in front of the other two, and the send button's picture
// and enabled state follow: only the comment order shows addresses to send.
void KeepsakeEditor::optKind_Click(int index) {
    FrontList = index;
    ComDisplay.clear();
    DateDisplay.clear();
    ComCaption = index == 1 ? QStringLiteral("http://") : QStringLiteral("コメント：");
    emit displayChanged();
    if (lstURLs[index].currentRow() > -1)
        lstURLs_Click(index);
}
