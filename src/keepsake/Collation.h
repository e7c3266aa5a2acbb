// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <functional>
#include <memory>
#include <vector>

// The sorted lists keep their rows in the order of a Japanese, case-insensitive collation.
namespace collation {

// -1, 0 or 1, as the sorted lists compare two texts.
int compare(const QString& a, const QString& b);

// The first of `count` sorted rows whose text, `textAt(row)`, sorts after `text`: the row a
// new text takes, after the rows that compare equal to it.
template <class TextAt>
int upperBound(int count, const QString& text, TextAt textAt) {
    int lo = 0;
    int hi = count;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (compare(textAt(mid), text) <= 0) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo;
}

// Starts reading the characters' weights on a thread of their own, once: afterwards a list's
// keys are made without running the collator over every text. Until then, and where a
// text's weights depend on its characters' neighbours, the collator makes them.
void prepare();
// The same, and waits until the weights are read.
void prepareAndWait();
// Whether the characters' weights are ready.
bool prepared();
// Whether a list holding `text` can be sorted by the characters' weights (they are ready, and
// no character of it is left to the collator).
bool fromWeights(QStringView text);

// The indexes of `texts` in sorted order; texts that compare equal keep the order they came
// in, which is where one-by-one insertion after equal texts would put them. Each text's
// collation key is computed once.
std::vector<qsizetype> stableOrder(const QList<QString>& texts);
// The same for `count` texts that `textAt(index)` gives, which must stay as they are while
// this runs.
using TextAt = std::function<QStringView(qsizetype)>;
std::vector<qsizetype> stableOrder(qsizetype count, const TextAt& textAt);

// The keys of a run of a list's texts, made ahead on any thread, for a BackgroundOrder to take
// whole where the run comes in its list. The texts are views, as there.
class KeyRun {
public:
    explicit KeyRun(qsizetype expected);
    ~KeyRun();
    KeyRun(KeyRun&&) noexcept;
    KeyRun& operator=(KeyRun&&) noexcept;

    void add(QStringView text);
    qsizetype count() const;

private:
    friend class BackgroundOrder;
    struct Keys;
    std::unique_ptr<Keys> m_keys;
};

// The same order made on a thread of its own while the texts still come in, as a file is
// read: their keys are made there (or come made, in runs), and only the sort is left when the
// last has come; a list expected to hold only a few thousand is ordered by the caller. The
// texts are handed over as views, which must stay as they are until order() returns.
class BackgroundOrder {
public:
    explicit BackgroundOrder(qsizetype expected);
    ~BackgroundOrder();
    BackgroundOrder(const BackgroundOrder&) = delete;
    BackgroundOrder& operator=(const BackgroundOrder&) = delete;

    void add(QStringView text);
    // The texts of `run`, after those added so far.
    void add(KeyRun run);
    qsizetype count() const { return m_count; }
    // No more texts come: the thread sorts them while the caller goes on.
    void finish();
    // The indexes of the texts added, in stableOrder()'s order; waits for the thread.
    std::vector<qsizetype> order();

private:
    struct Worker;
    std::unique_ptr<Worker> m_worker;
    std::vector<QStringView> m_batch;
    qsizetype m_count = 0;
};

}  // namespace collation
