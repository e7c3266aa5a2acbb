// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "search/CollectionIndex.h"

#include "keepsake/ListFileReader.h"
#include "pages/PageFormat.h"
#include "platform/FileLookup.h"
#include "platform/TextFile.h"
#include "search/TextFolding.h"

#include <QThread>
#include <QThreadPool>

#include <array>
#include <atomic>
#include <memory>
#include <span>
#include <vector>

#include <algorithm>

using keepsake::Entry;

namespace {

using Holders = CollectionIndex::Holders;
using AddressBits = CollectionIndex::AddressBits;

// 2^21 bits (256 KiB): a hundred thousand addresses set about one bit in twenty.
constexpr qsizetype kAddressWords = qsizetype(1) << 15;

// A hundred thousand entries are linked without making a string or a list for each.
void link(Holders& holders, AddressBits& bits, int page, const CollectionIndex::Page& p) {
    for (const Entry& e : p.entries) {
        const CollectionIndex::Address address{e.url};
        bits.add(address.key());
        CollectionIndex::Holding& h = holders[address];
        if (h.first < 0)
            h.first = page;
        else
            h.more.append(page);
    }
}

void unlink(Holders& holders, int page, const CollectionIndex::Page& p) {
    for (const Entry& e : p.entries) {
        const auto it = holders.find({e.url});
        if (it == holders.end())
            continue;
        if (it->first != page) {
            it->more.removeOne(page);
        } else if (it->more.isEmpty()) {
            holders.erase(it);
        } else {
            it->first = it->more.takeFirst();
        }
    }
}

// Reads a page for the index: nothing is shown, a failure only marks the page as damaged,
// and reading goes on after a damaged entry so that the rest is still found.
class SilentPageHost : public ListFileHost {
public:
    void entry(Entry e) override { entries.append(std::move(e)); }
    void failure(const QString&) override { damaged = true; }
    bool askContinue() override {
        damaged = true;
        return true;
    }

    QList<Entry> entries;
    bool damaged = false;
};

CollectionIndex::Page pageOf(const QString& name, QList<Entry> entries) {
    CollectionIndex::Page page;
    page.name = name;
    qsizetype size = 0;
    for (const Entry& e : entries)
        size += e.url.size() + 1 + e.com.size();
    page.folded.reserve(size);
    page.ends.reserve(entries.size());
    for (const Entry& e : entries) {
        search::appendFoldedEntry(e.url, e.com, page.folded);
        page.ends.append(page.folded.size());
    }
    page.entries = std::move(entries);
    return page;
}

}  // namespace

CollectionIndex::CollectionIndex(QObject* parent) : QObject(parent) {
    // The same threads for every build: a new thread each time would also take new memory
    // for its allocations, and the index's entries would spread over all of it.
    m_pool.setMaxThreadCount(2);
    m_pool.setExpiryTimeout(-1);
    m_pool.setThreadPriority(QThread::LowPriority);
}

CollectionIndex::~CollectionIndex() {
    m_pool.waitForDone();
}

void CollectionIndex::run(std::function<void()> work, std::function<void()> done) {
    ++m_running;
    m_pool.start([this, work = std::move(work), done = std::move(done)]() mutable {
        work();
        work = nullptr;
        // Queued to this object's thread; dropped if the index has gone meanwhile.
        QMetaObject::invokeMethod(this, [this, done = std::move(done)] {
            --m_running;
            done();
        });
    });
}

void CollectionIndex::discard(std::shared_ptr<void> old, std::shared_ptr<void> more) {
    // Freeing a hundred thousand entries would hold the window's thread for tens of
    // milliseconds. Nothing else may hold them: the last reference goes on the worker.
    run(
        [old = std::move(old), more = std::move(more)]() mutable {
            old.reset();
            more.reset();
        },
        [] {});
}

namespace {

// Reads the pages of `categories` into `into`.
void readPages(const QString& folder, std::span<const CollectionIndex::Category> categories,
               CollectionIndex::PagesRead& into) {
    const filelookup::FolderFiles files(folder);
    for (const CollectionIndex::Category& c : categories) {
        const QString fileName = pages::pageFileName(pages::pageNumberText(c.page));
        const QString path = files.find(fileName);
        if (path.isEmpty()) {
            // Never selected yet: no page, nothing filed there.
            into.pages.insert(c.page, pageOf(c.name, {}));
            continue;
        }
        QByteArray bytes;
        SilentPageHost host;
        const bool read = textfile::readAll(path, &bytes);
        const ListFileResult r = read ? readListFile(bytes, host) : ListFileResult{};
        if (!read || !r.complete || host.damaged)
            into.unreadable.insert(c.page, fileName);
        into.pages.insert(c.page, pageOf(c.name, std::move(host.entries)));
    }
}

// The pages read in parts, and the work that has not finished yet.
struct PagesInParts {
    QList<CollectionIndex::Category> categories;
    std::vector<CollectionIndex::PagesRead> parts;
    std::atomic<int> reading{0};
    int landing = 0;  // parts whose `done` has not run yet; the window's thread only
};

}  // namespace

void CollectionIndex::build(const QString& folder, const QList<Category>& categories) {
    const quint64 generation = ++m_pagesGeneration;
    m_touched.clear();
    m_renamed.clear();
    auto result = std::make_shared<PagesRead>();
    // Reading and parsing the pages is most of the work, and the pages are independent: each
    // thread of the pool reads a share of them. The last to finish puts the index together.
    const int parts =
        std::max(1, std::min(m_pool.maxThreadCount(), static_cast<int>(categories.size())));
    auto state = std::make_shared<PagesInParts>();
    state->categories = categories;
    state->parts.resize(static_cast<std::size_t>(parts));
    state->reading = parts;
    state->landing = parts;
    for (int part = 0; part < parts; ++part) {
        const qsizetype from = categories.size() * part / parts;
        const qsizetype to = categories.size() * (part + 1) / parts;
        run(
            [folder, state, result, part, from, to]() mutable {
                readPages(folder,
                          std::span(std::as_const(state->categories))
                              .subspan(static_cast<std::size_t>(from),
                                       static_cast<std::size_t>(to - from)),
                          state->parts[static_cast<std::size_t>(part)]);
                if (--state->reading > 0)
                    return;
                for (PagesRead& read : state->parts) {
                    for (auto it = read.pages.begin(); it != read.pages.end(); ++it)
                        result->pages.insert(it.key(), std::move(it.value()));
                    result->unreadable.insert(read.unreadable);
                }
                state->parts.clear();
                // Made here, so that the window's thread only takes the finished index.
                qsizetype entries = 0;
                for (const Page& p : std::as_const(result->pages))
                    entries += p.entries.size();
                result->holders.reserve(entries);
                for (auto it = result->pages.cbegin(); it != result->pages.cend(); ++it)
                    link(result->holders, result->bits, it.key(), it.value());
                result.reset();
                state.reset();
            },
            [this, generation, state, result]() mutable {
                if (--state->landing > 0)
                    return;
                state.reset();
                land(generation, std::move(result));
            });
    }
}

void CollectionIndex::land(quint64 generation, std::shared_ptr<PagesRead> result) {
    if (generation != m_pagesGeneration)
        return discard(std::move(result));
    // What changed while the build ran is newer than what it read.
    for (int page : std::as_const(m_touched)) {
        if (const auto read = result->pages.constFind(page); read != result->pages.cend())
            unlink(result->holders, page, read.value());
        const Page& written = m_pages[page];
        link(result->holders, result->bits, page, written);
        result->pages.insert(page, written);
        result->unreadable.remove(page);
    }
    for (auto it = m_renamed.cbegin(); it != m_renamed.cend(); ++it)
        result->pages[it.key()].name = it.value();
    std::swap(m_pages, result->pages);
    std::swap(m_unreadable, result->unreadable);
    std::swap(m_holders, result->holders);
    std::swap(m_bits, result->bits);
    discard(std::move(result));
    m_touched.clear();
    m_renamed.clear();
    m_pagesBuilt = true;
    emit filedChanged();
    emit changed();
}

void CollectionIndex::setKept(const QList<QString>& urls, const QList<QString>& coms,
                              const QList<QDateTime>& dates, int count) {
    const quint64 generation = ++m_keptGeneration;
    m_keptBuilt = false;
    // These share the editor's arrays until the worker has made lists of its own, which share
    // only the texts: the editor's next read then writes its arrays without copying them first.
    auto snapshot = std::make_shared<std::array<QList<QString>, 3>>();
    (*snapshot)[0] = urls.mid(0, count + 1);
    (*snapshot)[1] = coms.mid(0, count + 1);
    auto keptDates = std::make_shared<QList<QDateTime>>(dates.mid(0, count + 1));
    run(
        [snapshot, keptDates, count]() mutable {
            for (int i : {0, 1})
                (*snapshot)[i] = QList<QString>((*snapshot)[i].cbegin(), (*snapshot)[i].cend());
            *keptDates = QList<QDateTime>(keptDates->cbegin(), keptDates->cend());
            QList<QString> folded;
            folded.reserve(count);
            for (int k = 1; k <= count; ++k)
                folded.append(search::foldEntry((*snapshot)[0][k], (*snapshot)[1][k]));
            (*snapshot)[2] = std::move(folded);
            snapshot.reset();
            keptDates.reset();
        },
        [this, generation, snapshot, keptDates]() mutable {
            if (generation != m_keptGeneration)
                return discard(std::move(snapshot), std::move(keptDates));
            std::swap(m_keptUrls, (*snapshot)[0]);
            std::swap(m_keptComs, (*snapshot)[1]);
            std::swap(m_keptFolded, (*snapshot)[2]);
            std::swap(m_keptDates, *keptDates);
            discard(std::move(snapshot), std::move(keptDates));
            m_keptBuilt = true;
            emit changed();
        });
}

void CollectionIndex::setPage(int page, const QString& name, const QList<Entry>& entries) {
    if (const auto it = m_pages.constFind(page); it != m_pages.cend())
        unlink(m_holders, page, it.value());
    Page p = pageOf(name, entries);
    link(m_holders, m_bits, page, p);
    m_pages.insert(page, std::move(p));
    m_unreadable.remove(page);
    m_touched.insert(page);
    m_renamed.remove(page);
    emit filedChanged();
    emit changed();
}

void CollectionIndex::setName(int page, const QString& name) {
    m_pages[page].name = name;
    m_renamed.insert(page, name);
    emit filedChanged();
    emit changed();
}

void CollectionIndex::AddressBits::add(QStringView key) {
    if (words.isEmpty())
        words.resize(kAddressWords, 0);
    const size_t h = qHash(key) & (size_t(kAddressWords) * 64 - 1);
    words[qsizetype(h >> 6)] |= quint64(1) << (h & 63);
}

bool CollectionIndex::AddressBits::mayHold(QStringView key) const {
    if (words.isEmpty())
        return false;
    const size_t h = qHash(key) & (size_t(kAddressWords) * 64 - 1);
    return (words[qsizetype(h >> 6)] >> (h & 63)) & 1;
}

bool CollectionIndex::isFiled(const QString& url) const {
    const Address address{url};
    return m_bits.mayHold(address.key()) && m_holders.contains(address);
}

QStringList CollectionIndex::categoriesHolding(const QString& url) const {
    QList<int> holders;
    if (const auto it = m_holders.constFind({url}); it != m_holders.cend())
        holders << it->first << it->more;
    std::sort(holders.begin(), holders.end());
    holders.erase(std::unique(holders.begin(), holders.end()), holders.end());
    QStringList names;
    for (int page : holders)
        names.append(m_pages.value(page).name);
    return names;
}

QStringList CollectionIndex::unreadablePages() const {
    return m_unreadable.values();
}

QList<CollectionIndex::Hit> CollectionIndex::find(const QString& query) const {
    const QStringList terms = search::queryTerms(query);
    QList<Hit> hits;
    if (terms.isEmpty())
        return hits;
    for (qsizetype i = 0; i < m_keptFolded.size(); ++i) {
        if (search::matchesAll(terms, m_keptFolded[i])) {
            const int k = static_cast<int>(i + 1);
            hits.append({-1, k, m_keptUrls[k], m_keptComs[k], m_keptDates.value(k)});
        }
    }
    QList<int> order = m_pages.keys();
    std::sort(order.begin(), order.end());
    for (int page : order) {
        const Page& p = m_pages[page];
        for (qsizetype i = 0; i < p.ends.size(); ++i) {
            if (search::matchesAll(terms, p.foldedOf(i))) {
                const Entry& e = p.entries[i];
                hits.append({page, static_cast<int>(i + 1), e.url, e.com, e.date});
            }
        }
    }
    return hits;
}
