// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "keepsake/KeepsakeFormat.h"
#include "search/AddressHash.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QThreadPool>

#include <functional>
#include <memory>
#include <vector>

// The whole collection at a glance: which categories hold each stored address, and the
// folded texts of every kept entry and every entry of every category page, to search.
// Reading a thousand pages takes a while, so it is built on a thread of its own; until then
// it knows no page, and the window goes on working. Changes made meanwhile (a page written,
// a category renamed) win over what the build read.
class CollectionIndex : public QObject {
    Q_OBJECT

public:
    struct Category {
        int page = 0;
        QString name;
    };
    // One entry found: on a category page (page >= 0), or kept (page -1).
    struct Hit {
        int page = -1;
        int entry = 0;  // the kept entry's number, or the entry's place in its page, from 1
        QString url;
        QString com;
        QDateTime date;
    };

    explicit CollectionIndex(QObject* parent = nullptr);
    ~CollectionIndex() override;

    // Reads every listed category's page in `folder` (ending in "/") on a worker thread,
    // without a box: a page that cannot be read whole is counted and named instead.
    void build(const QString& folder, const QList<Category>& categories);
    // The kept entries (1-based arrays, `count` of them) are read again; folded off the
    // window's thread as well.
    void setKept(const QList<QString>& urls, const QList<QString>& coms,
                 const QList<QDateTime>& dates, int count);
    // The page of category `page` now holds these entries, as written.
    void setPage(int page, const QString& name, const QList<keepsake::Entry>& entries);
    // The category has a new name, or is new.
    void setName(int page, const QString& name);

    // Both the pages and the kept entries are indexed.
    bool isBuilt() const { return m_pagesBuilt && m_keptBuilt; }
    bool pagesBuilt() const { return m_pagesBuilt; }
    // No worker runs: nothing is being read, folded or freed.
    bool isIdle() const { return m_running == 0; }
    // The names of the categories whose pages hold `url` (trailing "/" ignored), in page
    // order; empty until the pages are built.
    QStringList categoriesHolding(const QString& url) const;
    // Whether any page holds `url`.
    bool isFiled(const QString& url) const;
    // Whether any page holds kept entry `k`, whose address is `url`: answered from a bit per
    // entry, worked out off the window's thread, while the index knows the kept entries as
    // they are; asked of the pages otherwise.
    bool isKeptFiled(int k, const QString& url) const;
    // The file names of the pages that could not be read whole.
    QStringList unreadablePages() const;
    QString categoryName(int page) const { return m_pages.value(page).name; }
    // The entries of category `page` as last read or written; empty until the pages are built.
    QList<keepsake::Entry> entriesOf(int page) const;

    // The entries in which every term of `query` occurs in the address or the comment:
    // kept entries first, then the pages in page order, each in its own order.
    QList<Hit> find(const QString& query) const;

signals:
    // What can be found has changed.
    void changed();
    // What is filed, or the names of the categories that hold it, has changed (a page, not
    // the kept entries: they are marked against the pages as they are read).
    void filedChanged();

public:
    // An address as stored, without one trailing "/": a view of the text of page `first` of
    // its holding (or of the text looked up), so that neither linking nor looking up makes a
    // string. Its hash is worked out once, where the page is read; comparing the hashes
    // first spares reading the texts of the other addresses a look-up passes.
    struct Address {
        QStringView key;
        size_t hash = 0;
        // Inline: a hundred thousand addresses are keyed for each build.
        static QStringView keyOf(QStringView url) {
            return !url.isEmpty() && url.back() == u'/' ? url.chopped(1) : url;
        }
        static Address of(QStringView url) {
            const QStringView key = keyOf(url);
            return {key, addressHash(key)};
        }
        friend bool operator==(const Address& a, const Address& b) {
            return a.hash == b.hash && a.key == b.key;
        }
        friend size_t qHash(const Address& a, size_t seed = 0) { return a.hash ^ seed; }
    };
    // One page as the index holds it. A hundred thousand entries are held without a string
    // for each: a page's text holds every entry's address and comment, each followed by a
    // line break (which neither can hold).
    struct Page {
        struct Spot {
            qsizetype url = 0;  // where the address starts; its line break ends it
            qsizetype com = 0;  // where the comment starts
            qsizetype end = 0;  // where the comment ends, at its line break
            size_t hash = 0;    // Address::of(the address).hash
            QDateTime date;
        };
        QString name;
        QString text;
        QList<Spot> spots;
        // Every entry's folded address, a line break and its folded comment, each followed by
        // a line break, in one text; entry i ends at ends[i] and starts after the line break
        // that ends entry i - 1.
        QString folded;
        QList<qsizetype> ends;

        qsizetype size() const { return spots.size(); }
        QStringView urlOf(qsizetype i) const {
            return QStringView(text).sliced(spots[i].url, spots[i].com - 1 - spots[i].url);
        }
        Address addressOf(qsizetype i) const { return {Address::keyOf(urlOf(i)), spots[i].hash}; }
        QStringView comOf(qsizetype i) const {
            return QStringView(text).sliced(spots[i].com, spots[i].end - spots[i].com);
        }
        keepsake::Entry entryOf(qsizetype i) const {
            return {urlOf(i).toString(), comOf(i).toString(), spots[i].date};
        }
        QStringView foldedOf(qsizetype i) const {
            const qsizetype from = i == 0 ? 0 : ends[i - 1] + 1;
            return QStringView(folded).sliced(from, ends[i] - from);
        }
        // Adds an entry at the end.
        void append(QStringView url, QStringView com, const QDateTime& date);
        // Folds the entries appended since the last call.
        void fold();
    };
    // The pages that hold one address, one per entry that holds it.
    struct Holding {
        int first = -1;
        QList<int> more;
    };
    // The pages that hold each address, in two halves by the top bit of the address's hash,
    // so that a build links the two halves on two threads at once.
    struct Holders {
        QHash<Address, Holding> halves[2];
        static int halfOf(size_t hash) {
            return static_cast<int>(hash >> (sizeof(size_t) * 8 - 1));
        }
        QHash<Address, Holding>& of(const Address& a) { return halves[halfOf(a.hash)]; }
        const QHash<Address, Holding>& of(const Address& a) const { return halves[halfOf(a.hash)]; }
    };
    // One bit per hash of every address linked: most kept addresses are on no page, and
    // telling them so from a table that stays in the processor's cache spares the lookup in
    // `Holders`, whose keys and entries lie all over memory. A set bit only says "maybe";
    // addresses unlinked keep their bit.
    // Each half of `Holders` has bits of its own, so that the two are set on two threads.
    struct AddressBits {
        QList<quint64> words[2];
        void add(size_t hash);
        bool mayHold(size_t hash) const;
    };
    struct PagesRead {
        QHash<int, Page> pages;
        QMap<int, QString> unreadable;  // page number -> file name
        Holders holders;
        AddressBits bits;
    };
    // The kept entries as the index holds them (1-based lists, as the editor's).
    struct Kept {
        QList<QString> urls;
        QList<QString> coms;
        QList<QDateTime> dates;
        int count = 0;
        // Every entry's folded address, a line break and its folded comment, one after the
        // other in one text: entry k ends at ends[k - 1] and starts where entry k - 1 ends.
        QString folded;
        QList<qsizetype> ends;
        QList<size_t> hashes;  // Address::of(urls[k]).hash at k - 1
        // At k - 1: the entry folds to its own texts, and `folded` holds nothing of it.
        std::vector<bool> asIs;
    };
    // Which kept entries a page holds, index k.
    using KeptFiled = std::vector<bool>;

private:
    // Runs `work` on a thread of its own, then `done` on this object's thread. Each may
    // release what it holds; the functions themselves are freed on this object's thread.
    void run(std::function<void()> work, std::function<void()> done);
    // The kept entries' marks, worked out for kept entries `kept` (a generation of setKept())
    // against the pages of build `pages` after `edits` pages were written since they landed.
    struct Marks {
        std::shared_ptr<KeptFiled> filed;
        quint64 kept = 0;
        quint64 pages = 0;
        quint64 edits = 0;
    };
    // Where the workers meet: the kept entries folded last and the pages linked last, so that
    // whichever is ready second marks the kept entries against the other on its own worker.
    struct Meeting;
    // Takes the pages a build has read, unless a newer build has started since.
    void land(quint64 generation, std::shared_ptr<PagesRead> result, Marks marks);
    // Takes the kept entries folded, unless they have been set again since.
    void landKept(quint64 generation, std::shared_ptr<const Kept> kept, Marks marks);
    // Whether `marks` are for the kept entries and pages as they are, or may be once what is
    // under way has landed.
    bool marksFit(const Marks& marks) const;
    bool marksMayFit(const Marks& marks) const;
    // Takes `marks` when they fit, keeps them while they may; then, when the marks are still
    // not known and none are coming, has a worker work them out.
    void settleMarks(Marks marks);
    void markKept();
    // Lets these go on a worker thread.
    void discard(std::shared_ptr<const void> old, std::shared_ptr<const void> more = {});

    QHash<int, Page> m_pages;
    Holders m_holders;
    AddressBits m_bits;
    QMap<int, QString> m_unreadable;
    bool m_pagesBuilt = false;
    quint64 m_pagesGeneration = 0;
    QSet<int> m_touched;            // pages written while a build runs
    QHash<int, QString> m_renamed;  // names given while a build runs

    quint64 m_landedGeneration = 0;  // the build whose pages are held
    quint64 m_edits = 0;             // pages written since they landed

    std::shared_ptr<const Kept> m_kept;  // never null
    bool m_keptBuilt = false;
    quint64 m_keptGeneration = 0;
    KeptFiled m_keptFiled;  // valid when m_marksKnown
    bool m_marksKnown = false;
    Marks m_pendingMarks;  // made for what has not landed yet
    Marks m_marking;       // what a marking worker works on (without `filed`)
    std::shared_ptr<Meeting> m_meeting;

    QThreadPool m_pool;
    int m_running = 0;  // work given to the pool whose `done` has not run yet
};
