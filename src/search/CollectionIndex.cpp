// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "search/CollectionIndex.h"

#include "keepsake/KeepsakeFormat.h"
#include "pages/PageFormat.h"
#include "platform/Cp932Codec.h"
#include "platform/FileLookup.h"
#include "platform/TextFile.h"
#include "search/PageScan.h"
#include "search/TextFolding.h"

#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <span>
#include <system_error>
#include <thread>
#include <vector>

using keepsake::Entry;

namespace {

using Page = CollectionIndex::Page;
using Address = CollectionIndex::Address;
using Holders = CollectionIndex::Holders;
using AddressBits = CollectionIndex::AddressBits;
using KeptFiled = CollectionIndex::KeptFiled;

// 2^20 bits (128 KiB) for each half of the addresses: a hundred thousand addresses set about
// one bit in twenty.
constexpr qsizetype kAddressWords = qsizetype(1) << 14;

// A hundred thousand entries are linked without making a string or a list for each: every
// key views the text of the page that holds it first. Only the addresses of half `half` are
// linked, or all with -1.
void link(Holders& holders, AddressBits& bits, int page, const Page& p, int half = -1) {
    for (qsizetype i = 0; i < p.size(); ++i) {
        const Address address = p.addressOf(i);
        if (half >= 0 && Holders::halfOf(address.hash) != half)
            continue;
        bits.add(address.hash);
        CollectionIndex::Holding& h = holders.of(address)[address];
        if (h.first < 0)
            h.first = page;
        else
            h.more.append(page);
    }
}

// Links every page of `pages` into `holders`, one half of the addresses on another thread.
void linkAll(Holders& holders, AddressBits& bits, const QHash<int, Page>& pages) {
    const auto linkHalf = [&](int half) {
        for (auto it = pages.cbegin(); it != pages.cend(); ++it)
            link(holders, bits, it.key(), it.value(), half);
    };
    std::thread other;
    try {
        other = std::thread(linkHalf, 1);
    } catch (const std::system_error&) {
        // No thread to be had: both halves are linked here.
        linkHalf(1);
    }
    linkHalf(0);
    if (other.joinable())
        other.join();
}

// Takes page `page`, as `p` holds it, out of `holders`; `pages` holds the other pages.
void unlink(Holders& holders, int page, const Page& p, const QHash<int, Page>& pages) {
    const QChar* const textFrom = p.text.constData();
    const QChar* const textTo = textFrom + p.text.size();
    for (qsizetype i = 0; i < p.size(); ++i) {
        const Address address = p.addressOf(i);
        QHash<Address, CollectionIndex::Holding>& table = holders.of(address);
        const auto it = table.find(address);
        if (it == table.end())
            continue;
        if (it->first != page) {
            it->more.removeOne(page);
            continue;
        }
        if (it->more.isEmpty()) {
            table.erase(it);
            continue;
        }
        it->first = it->more.takeFirst();
        const QChar* const keyAt = it.key().key.data();
        if (it->first == page || keyAt < textFrom || keyAt >= textTo)
            continue;
        // The key views this page's text, which goes with it: the page that now holds the
        // address first lends its own.
        const auto other = pages.constFind(it->first);
        if (other == pages.cend())
            continue;
        for (qsizetype j = 0; j < other->size(); ++j) {
            const Address there = other->addressOf(j);
            if (there == it.key()) {
                // The same address: the same half.
                CollectionIndex::Holding h = std::move(*it);
                table.erase(it);
                table.insert(there, std::move(h));
                break;
            }
        }
    }
}

// Which kept entries the pages of `holders` hold.
KeptFiled markAgainst(const CollectionIndex::Kept& kept, const Holders& holders,
                      const AddressBits& bits) {
    KeptFiled filed(static_cast<std::size_t>(kept.count) + 1);
    for (int k = 1; k <= kept.count; ++k) {
        // Most kept entries are on no page: their texts, all over memory, are not read.
        const size_t hash = kept.hashes[k - 1];
        filed[static_cast<std::size_t>(k)] =
            bits.mayHold(hash) && holders.halves[Holders::halfOf(hash)].contains(
                                      Address{Address::keyOf(kept.urls[k]), hash});
    }
    return filed;
}

Page pageOf(const QString& name, const QList<Entry>& entries) {
    Page page;
    page.name = name;
    qsizetype size = 0;
    for (const Entry& e : entries)
        size += e.url.size() + e.com.size() + 2;
    page.text.reserve(size);
    page.spots.reserve(entries.size());
    for (const Entry& e : entries)
        page.append(e.url, e.com, e.date);
    page.fold();
    return page;
}

}  // namespace

void CollectionIndex::Page::append(QStringView url, QStringView com, const QDateTime& date) {
    Spot spot;
    spot.url = text.size();
    text += url;
    text += u'\n';
    spot.hash = Address::of(url).hash;
    spot.com = text.size();
    text += com;
    spot.end = text.size();
    text += u'\n';
    spot.date = date;
    spots.append(spot);
}

void CollectionIndex::Page::fold() {
    // Most pages fold a character at a time, one for one: the whole text at once then, its
    // line breaks in their places.
    if (ends.isEmpty() && search::appendFoldedCharacters(text, folded)) {
        // A text that folds to itself is shared, not held twice.
        if (folded == text)
            folded = text;
        ends.reserve(spots.size());
        for (const Spot& spot : std::as_const(spots))
            ends.append(spot.end);
        return;
    }
    if (ends.isEmpty()) {
        folded.reserve(text.size());
        ends.reserve(spots.size());
    }
    for (qsizetype i = ends.size(); i < spots.size(); ++i) {
        search::appendFoldedEntry(urlOf(i), comOf(i), folded);
        ends.append(folded.size());
        folded += u'\n';
    }
}

struct CollectionIndex::Meeting {
    std::mutex lock;
    std::shared_ptr<const Kept> kept;
    quint64 keptGeneration = 0;
    // Copies of the build's tables, sharing their data, until the pages land.
    std::shared_ptr<const PagesRead> pages;
    quint64 pagesGeneration = 0;
};

CollectionIndex::CollectionIndex(QObject* parent)
    : QObject(parent),
      m_kept(std::make_shared<const Kept>()),
      m_meeting(std::make_shared<Meeting>()) {
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

void CollectionIndex::discard(std::shared_ptr<const void> old, std::shared_ptr<const void> more) {
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

// Reads pages of `categories` into `into`, each the next that no other thread has taken
// (`next`), until none is left.
void readPages(const QString& folder, std::span<const CollectionIndex::Category> categories,
               std::atomic<std::size_t>& next, CollectionIndex::PagesRead& into) {
    const filelookup::FolderFiles files(folder);
    for (std::size_t i; (i = next++) < categories.size();) {
        const CollectionIndex::Category& c = categories[i];
        Page page;
        page.name = c.name;
        const QString fileName = pages::pageFileName(pages::pageNumberText(c.page));
        const QString path = files.find(fileName);
        if (path.isEmpty()) {
            // Never selected yet: no page, nothing filed there.
            into.pages.insert(c.page, std::move(page));
            continue;
        }
        QByteArray bytes;
        const bool read = textfile::readAll(path, &bytes);
        const search::PageScan scan(bytes);
        if (!read || !scan.whole())
            into.unreadable.insert(c.page, fileName);
        scan.fill(page);
        page.fold();
        into.pages.insert(c.page, std::move(page));
    }
}

// The pages read in parts, and the work that has not finished yet.
struct PagesInParts {
    QList<CollectionIndex::Category> categories;
    std::vector<CollectionIndex::PagesRead> parts;
    std::atomic<std::size_t> next{0};  // the first category no thread has taken
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
    // thread of the pool reads them one at a time, whichever is next, so that a thread that
    // starts late takes fewer. The last to finish puts the index together.
    const int parts =
        std::max(1, std::min(m_pool.maxThreadCount(), static_cast<int>(categories.size())));
    auto state = std::make_shared<PagesInParts>();
    state->categories = categories;
    state->parts.resize(static_cast<std::size_t>(parts));
    state->reading = parts;
    state->landing = parts;
    auto marks = std::make_shared<Marks>();
    for (int part = 0; part < parts; ++part) {
        run(
            [folder, state, result, marks, meeting = m_meeting, generation, part]() mutable {
                readPages(folder, std::as_const(state->categories), state->next,
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
                    entries += p.size();
                for (auto& half : result->holders.halves)
                    half.reserve(entries / 2 + entries / 16);
                linkAll(result->holders, result->bits, result->pages);
                // The kept entries are marked here when they are folded already, so that the
                // window's thread never looks them up.
                auto view = std::make_shared<PagesRead>();
                view->pages = result->pages;
                view->holders = result->holders;
                view->bits = result->bits;
                std::shared_ptr<const Kept> kept;
                {
                    const std::lock_guard<std::mutex> hold(meeting->lock);
                    meeting->pages = std::move(view);
                    meeting->pagesGeneration = generation;
                    kept = meeting->kept;
                    marks->kept = meeting->keptGeneration;
                }
                if (kept) {
                    marks->filed = std::make_shared<KeptFiled>(
                        markAgainst(*kept, result->holders, result->bits));
                    marks->pages = generation;
                }
                kept.reset();
                meeting.reset();
                result.reset();
                state.reset();
            },
            [this, generation, state, result, marks]() mutable {
                if (--state->landing > 0)
                    return;
                state.reset();
                land(generation, std::move(result), std::move(*marks));
            });
    }
}

void CollectionIndex::land(quint64 generation, std::shared_ptr<PagesRead> result, Marks marks) {
    {
        // Holding the build's tables any longer would make the first page written copy them.
        const std::lock_guard<std::mutex> hold(m_meeting->lock);
        if (m_meeting->pagesGeneration == generation)
            m_meeting->pages.reset();
    }
    if (generation != m_pagesGeneration)
        return discard(std::move(result), std::move(marks.filed));
    // What changed while the build ran is newer than what it read.
    const bool unchanged = m_touched.isEmpty();
    for (int page : std::as_const(m_touched)) {
        if (const auto read = result->pages.constFind(page); read != result->pages.cend())
            unlink(result->holders, page, read.value(), result->pages);
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
    m_landedGeneration = generation;
    m_edits = unchanged ? 0 : 1;
    m_marksKnown = false;
    settleMarks(std::move(marks));
    emit filedChanged();
    emit changed();
}

void CollectionIndex::setKept(const QList<QString>& urls, const QList<QString>& coms,
                              const QList<QDateTime>& dates, int count) {
    const quint64 generation = ++m_keptGeneration;
    m_keptBuilt = false;
    m_marksKnown = false;
    // These share the editor's arrays until the worker has made lists of its own, which share
    // only the texts: the editor's next read then writes its arrays without copying them first.
    auto kept = std::make_shared<Kept>();
    kept->urls = urls.mid(0, count + 1);
    kept->coms = coms.mid(0, count + 1);
    kept->dates = dates.mid(0, count + 1);
    kept->count = count;
    auto marks = std::make_shared<Marks>();
    run(
        [kept, marks, meeting = m_meeting, generation]() mutable {
            kept->urls = QList<QString>(kept->urls.cbegin(), kept->urls.cend());
            kept->coms = QList<QString>(kept->coms.cbegin(), kept->coms.cend());
            kept->dates = QList<QDateTime>(kept->dates.cbegin(), kept->dates.cend());
            qsizetype size = 0;
            for (int k = 1; k <= kept->count; ++k)
                size += kept->urls[k].size() + 1 + kept->coms[k].size();
            // Most addresses, and many comments, fold to themselves: such an entry is
            // searched in its own texts, not held a second time.
            kept->folded.reserve(size);
            kept->ends.reserve(kept->count);
            kept->hashes.reserve(kept->count);
            kept->asIs.reserve(static_cast<std::size_t>(kept->count));
            QString entry;
            for (int k = 1; k <= kept->count; ++k) {
                const QString& url = kept->urls[k];
                const QString& com = kept->coms[k];
                entry.clear();
                search::appendFoldedEntry(url, com, entry);
                const QStringView folded(entry);
                const bool asIs = folded.size() == url.size() + 1 + com.size() &&
                                  folded.first(url.size()) == url && folded[url.size()] == u'\n' &&
                                  folded.sliced(url.size() + 1) == com;
                kept->asIs.push_back(asIs);
                if (!asIs)
                    kept->folded += entry;
                kept->ends.append(kept->folded.size());
                kept->hashes.append(Address::of(url).hash);
            }
            kept->folded.squeeze();
            // Marked here against pages that a build has linked already (and the build's
            // worker marks them otherwise).
            std::shared_ptr<const PagesRead> pages;
            {
                const std::lock_guard<std::mutex> hold(meeting->lock);
                meeting->kept = kept;
                meeting->keptGeneration = generation;
                pages = meeting->pages;
                marks->pages = meeting->pagesGeneration;
            }
            if (pages) {
                marks->filed =
                    std::make_shared<KeptFiled>(markAgainst(*kept, pages->holders, pages->bits));
                marks->kept = generation;
            }
            pages.reset();
            kept.reset();
            meeting.reset();
        },
        [this, generation, kept, marks]() mutable {
            landKept(generation, std::move(kept), std::move(*marks));
        });
}

void CollectionIndex::landKept(quint64 generation, std::shared_ptr<const Kept> kept, Marks marks) {
    if (generation != m_keptGeneration) {
        {
            const std::lock_guard<std::mutex> hold(m_meeting->lock);
            if (m_meeting->keptGeneration == generation)
                m_meeting->kept.reset();
        }
        return discard(std::move(kept), std::move(marks.filed));
    }
    std::swap(m_kept, kept);
    discard(std::move(kept));
    m_keptBuilt = true;
    m_marksKnown = false;
    settleMarks(std::move(marks));
    emit changed();
}

bool CollectionIndex::marksFit(const Marks& marks) const {
    return marks.filed && m_keptBuilt && m_pagesBuilt && marks.kept == m_keptGeneration &&
           marks.pages == m_landedGeneration && marks.edits == m_edits;
}

bool CollectionIndex::marksMayFit(const Marks& marks) const {
    if (!marks.filed || marks.kept != m_keptGeneration)
        return false;
    if (marks.pages == m_landedGeneration && m_pagesBuilt)
        return marks.edits == m_edits;
    return marks.pages == m_pagesGeneration && marks.edits == 0;
}

void CollectionIndex::settleMarks(Marks marks) {
    if (marksMayFit(marks))
        m_pendingMarks = std::move(marks);
    if (m_marksKnown)
        return;
    if (marksFit(m_pendingMarks)) {
        std::swap(m_keptFiled, *m_pendingMarks.filed);
        m_pendingMarks = {};
        m_marksKnown = true;
        return;
    }
    if (!marksMayFit(m_pendingMarks)) {
        m_pendingMarks = {};
        markKept();
    }
}

void CollectionIndex::markKept() {
    // A build under way marks the kept entries when its pages are linked.
    if (m_marksKnown || !m_pagesBuilt || !m_keptBuilt || m_landedGeneration != m_pagesGeneration)
        return;
    auto marks = std::make_shared<Marks>();
    marks->kept = m_keptGeneration;
    marks->pages = m_landedGeneration;
    marks->edits = m_edits;
    if (m_marking.kept == marks->kept && m_marking.pages == marks->pages &&
        m_marking.edits == marks->edits) {
        return;  // under way
    }
    m_marking = *marks;
    marks->filed = std::make_shared<KeptFiled>();
    auto pages = std::make_shared<PagesRead>();
    pages->pages = m_pages;  // keeps the texts that the holders' keys view
    pages->holders = m_holders;
    pages->bits = m_bits;
    run(
        [pages, kept = m_kept, marks]() mutable {
            *marks->filed = markAgainst(*kept, pages->holders, pages->bits);
            pages.reset();
            kept.reset();
        },
        [this, marks]() mutable {
            if (m_marking.kept == marks->kept && m_marking.pages == marks->pages &&
                m_marking.edits == marks->edits) {
                m_marking = {};
            }
            settleMarks(std::move(*marks));
        });
}

void CollectionIndex::setPage(int page, const QString& name, const QList<Entry>& entries) {
    Page p = pageOf(name, entries);
    if (const auto it = m_pages.constFind(page); it != m_pages.cend())
        unlink(m_holders, page, it.value(), m_pages);
    link(m_holders, m_bits, page, p);
    m_pages.insert(page, std::move(p));
    m_unreadable.remove(page);
    m_touched.insert(page);
    m_renamed.remove(page);
    ++m_edits;
    m_marksKnown = false;
    settleMarks(Marks());
    emit filedChanged();
    emit changed();
}

void CollectionIndex::setName(int page, const QString& name) {
    m_pages[page].name = name;
    m_renamed.insert(page, name);
    emit filedChanged();
    emit changed();
}

void CollectionIndex::AddressBits::add(size_t hash) {
    QList<quint64>& half = words[Holders::halfOf(hash)];
    if (half.isEmpty())
        half.resize(kAddressWords, 0);
    const size_t h = hash & (size_t(kAddressWords) * 64 - 1);
    half[qsizetype(h >> 6)] |= quint64(1) << (h & 63);
}

bool CollectionIndex::AddressBits::mayHold(size_t hash) const {
    const QList<quint64>& half = words[Holders::halfOf(hash)];
    if (half.isEmpty())
        return false;
    const size_t h = hash & (size_t(kAddressWords) * 64 - 1);
    return (half[qsizetype(h >> 6)] >> (h & 63)) & 1;
}

bool CollectionIndex::isFiled(const QString& url) const {
    const Address address = Address::of(url);
    return m_bits.mayHold(address.hash) && m_holders.of(address).contains(address);
}

bool CollectionIndex::isKeptFiled(int k, const QString& url) const {
    // The same text, not an equal one: the kept entries the index holds share the editor's
    // texts until the editor reads its file again.
    if (m_marksKnown && k >= 1 && k <= m_kept->count &&
        static_cast<std::size_t>(k) < m_keptFiled.size()) {
        const QString& known = m_kept->urls[k];
        if (known.constData() == url.constData() && known.size() == url.size())
            return m_keptFiled[static_cast<std::size_t>(k)];
    }
    return isFiled(url);
}

QList<Entry> CollectionIndex::entriesOf(int page) const {
    QList<Entry> entries;
    const auto it = m_pages.constFind(page);
    if (it == m_pages.cend())
        return entries;
    entries.reserve(it->size());
    for (qsizetype i = 0; i < it->size(); ++i)
        entries.append(it->entryOf(i));
    return entries;
}

QStringList CollectionIndex::categoriesHolding(const QString& url) const {
    QList<int> holders;
    const Address address = Address::of(url);
    const QHash<Address, Holding>& table = m_holders.of(address);
    if (const auto it = table.constFind(address); it != table.cend())
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
    const Kept& kept = *m_kept;
    const QStringView keptFolded(kept.folded);
    for (qsizetype i = 0; i < kept.ends.size(); ++i) {
        const qsizetype from = i == 0 ? 0 : kept.ends[i - 1];
        const int k = static_cast<int>(i + 1);
        if (kept.asIs[static_cast<std::size_t>(i)]
                ? search::matchesAll(terms, kept.urls[k], kept.coms[k])
                : search::matchesAll(terms, keptFolded.sliced(from, kept.ends[i] - from))) {
            hits.append({-1, k, kept.urls[k], kept.coms[k], kept.dates.value(k)});
        }
    }
    QList<int> order = m_pages.keys();
    std::sort(order.begin(), order.end());
    for (int page : order) {
        const Page& p = m_pages[page];
        for (qsizetype i = 0; i < p.ends.size(); ++i) {
            if (search::matchesAll(terms, p.foldedOf(i))) {
                const Entry e = p.entryOf(i);
                hits.append({page, static_cast<int>(i + 1), e.url, e.com, e.date});
            }
        }
    }
    return hits;
}
