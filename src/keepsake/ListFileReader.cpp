// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "keepsake/ListFileReader.h"

#include "platform/Cp932Codec.h"
#include "platform/LineReader.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <semaphore>
#include <system_error>
#include <thread>
#include <vector>

using namespace keepsake;

namespace {

constexpr QByteArrayView kStartMarkerBytes("<!--StartList-->");
constexpr QByteArrayView kEndMarkerBytes("<!--EndList-->");

// Below twice this, a file is read on one thread: starting another would cost more than it
// saves.
constexpr qsizetype kBytesPerThread = 64 * 1024;
constexpr int kMostThreads = 4;

// Appends the line's bytes and CR LF.
void appendLine(QByteArray& text, QByteArrayView line) {
    text += line;
    text += "\r\n";
}

// What became of an entry line and the comment line after it.
enum class Pair {
    Read,           // the entry is in *entry
    BadAddress,     // the entry line's scanner failed, with the message in *message
    EndForComment,  // the end marker came where the comment line should be
    FileEnds,       // the comment line is the file's last line: no end marker follows
    BadComment,     // the comment line's scanner failed, with the message in *message
    BadDate,        // the date after the comment is no date
};

Pair readPair(LineReader& in, QByteArrayView line, Entry* entry, QByteArrayView* comLine,
              QString* message) {
    const Scan address = scanAddress(line);
    if (address.length == 0) {
        *message = address.message;
        return Pair::BadAddress;
    }
    *comLine = in.readLineView();
    if (*comLine == kEndMarkerBytes)
        return Pair::EndForComment;
    if (in.atEnd())
        return Pair::FileEnds;
    qsizetype comStart = 0;
    const Scan com = scanComment(*comLine, &comStart);
    if (com.length == 0) {
        *message = com.message;
        return Pair::BadComment;
    }
    if (scanDate(comLine->sliced(comStart + com.length + 3), &entry->date) == 0)
        return Pair::BadDate;
    entry->url = cp932::decode(line.sliced(kAddressStart, address.length));
    entry->com = cp932::decode(comLine->sliced(comStart, com.length));
    return Pair::Read;
}

// A stretch of a large file's list: the lines from `from` up to `to`, the next stretch's
// start. One read ahead on another thread ends at `stop`: `to`, or the first line it could
// not take without a word to the host. The lines it takes are read exactly as the reader in
// the list would read them, if its next line starts at `from`.
struct ReadAhead {
    qsizetype from = 0;
    qsizetype to = 0;
    qsizetype stop = 0;
    std::vector<Entry> entries;
    std::unique_ptr<ListFileStretchWork> work;
    std::binary_semaphore read{0};  // released once read ahead
};

void readAhead(const QByteArray& data, ReadAhead& part, const std::atomic<bool>& abandoned) {
    LineReader in(data);
    in.seek(part.from);
    part.entries.reserve(static_cast<std::size_t>((part.to - part.from) / 100));
    for (;;) {
        const qsizetype at = in.position();
        part.stop = at;
        if (at >= part.to || abandoned.load(std::memory_order_relaxed))
            return;
        const QByteArrayView line = in.readLineView();
        if (line == kEndMarkerBytes || in.atEnd())
            return;
        if (!isEntryLine(line))
            continue;
        Entry entry;
        QByteArrayView comLine;
        QString message;
        if (readPair(in, line, &entry, &comLine, &message) != Pair::Read)
            return;
        if (part.work)
            part.work->entry(entry);
        part.entries.push_back(std::move(entry));
    }
}

// The start of the first entry line at or after the line that starts at `start`, looked for
// over a few lines (else the end). The reader reads an entry's two lines at once, so it
// comes to the start of an entry line, never to that of a comment line: a stretch begun on
// one would never be taken.
qsizetype entryLineFrom(const QByteArray& data, qsizetype start) {
    constexpr int kLinesLookedAt = 64;
    LineReader in(data);
    in.seek(start);
    for (int i = 0; i < kLinesLookedAt && !in.atEnd(); ++i) {
        const qsizetype at = in.position();
        if (isEntryLine(in.readLineView()))
            return at;
    }
    return data.size();
}

// The stretches of a list read by several threads. The reader's thread claims them from the
// front as it comes to them and reads them itself; the threads reading ahead claim them from
// the back. However late a thread starts or however slowly it runs, the reader waits at most
// for the stretches in hand when the two meet, and it is handed those in the file's order.
// Every thread is joined before the read returns, however it ends.
class ReadAheads {
public:
    ReadAheads(const QByteArray& data, ListFileHost& host, int threads) {
        const qsizetype count =
            threads > 1 ? std::clamp<qsizetype>(data.size() / kBytesPerStretch, threads,
                                                qsizetype{threads} * kStretchesPerThread)
                        : 1;
        qsizetype from = 0;
        for (qsizetype k = 1; k < count; ++k) {
            const qsizetype start =
                entryLineFrom(data, LineReader::lineStartFrom(data, data.size() / count * k));
            if (start <= from || start >= data.size())
                continue;
            if (!m_parts.empty())
                m_parts.back()->to = start;
            auto part = std::make_unique<ReadAhead>();
            part->from = start;
            part->to = data.size();
            m_parts.push_back(std::move(part));
            from = start;
        }
        m_back = m_parts.size();
        // Each stretch's work is had before any thread starts, so that none is left running
        // should the host fail to give one.
        for (auto& part : m_parts)
            part->work = host.stretchWork(part->to - part->from);
        for (int i = 1; i < threads && !m_parts.empty(); ++i) {
            try {
                m_threads.emplace_back([this, &data] { readFromBack(data); });
            } catch (const std::system_error&) {
                // No thread to be had: the reader reads what the others leave.
                break;
            }
        }
    }
    ~ReadAheads() {
        m_abandoned = true;
        for (std::thread& thread : m_threads)
            thread.join();
    }
    ReadAheads(const ReadAheads&) = delete;
    ReadAheads& operator=(const ReadAheads&) = delete;

    // The stretch that starts at `position`, read ahead, if the reader's next line is there
    // and another thread has the stretch; stretches the reader has gone past are its own, or
    // of no use any more.
    ReadAhead* at(qsizetype position) {
        // Most lines begin no stretch, which is seen without the lock: only this thread
        // changes m_front.
        if (m_front == m_parts.size() || m_parts[m_front]->from > position)
            return nullptr;
        std::unique_lock lock(m_mutex);
        while (m_front < m_parts.size() && m_parts[m_front]->from < position)
            ++m_front;
        if (m_front == m_parts.size() || m_parts[m_front]->from != position)
            return nullptr;
        const std::size_t claimed = m_front++;
        if (claimed < m_back)
            return nullptr;
        lock.unlock();
        ReadAhead* part = m_parts[claimed].get();
        part->read.acquire();
        return part;
    }
    // The stretches other threads have claimed so far, taken or not.
    int claimedAhead() {
        const std::lock_guard lock(m_mutex);
        return static_cast<int>(m_parts.size() - m_back);
    }

private:
    // A list is cut into stretches of about this many bytes, at most so many for each thread:
    // when the reader comes to those the others have, it waits for the one still being read,
    // not for half the list.
    static constexpr qsizetype kBytesPerStretch = 16 * 1024;
    static constexpr qsizetype kStretchesPerThread = 32;

    void readFromBack(const QByteArray& data) {
        while (ReadAhead* part = claimFromBack()) {
            readAhead(data, *part, m_abandoned);
            part->read.release();
        }
    }
    ReadAhead* claimFromBack() {
        const std::lock_guard lock(m_mutex);
        if (m_back <= m_front || m_abandoned.load(std::memory_order_relaxed))
            return nullptr;
        return m_parts[--m_back].get();
    }

    std::vector<std::unique_ptr<ReadAhead>> m_parts;
    std::mutex m_mutex;
    std::size_t m_front = 0;  // changed under m_mutex: the first stretch the reader has not come to
    std::size_t m_back = 0;   // under m_mutex: the first stretch claimed from the back
    std::atomic<bool> m_abandoned{false};
    std::vector<std::thread> m_threads;
};

}  // namespace

void ListFileHost::stretch(std::vector<Entry>& entries, std::unique_ptr<ListFileStretchWork>) {
    for (Entry& e : entries)
        entry(std::move(e));
}

int listFileThreads(qsizetype size) {
    const auto cores = static_cast<qsizetype>(std::thread::hardware_concurrency());
    return static_cast<int>(
        std::clamp<qsizetype>(std::min(cores, size / kBytesPerThread), 1, kMostThreads));
}

// The reader works on the file's own bytes, as the scanners do, and decodes only what it
// keeps: each entry's address and comment. The header and footer are kept as bytes.
ListFileResult readListFile(const QByteArray& data, ListFileHost& host, int threads) {
    ListFileResult result;
    LineReader in(data);
    ReadAheads ahead(data, host, std::max(threads, 1));

    // Header, through the start marker.
    for (;;) {
        if (in.atEnd()) {
            host.failure(kMsgNoStartMarker);
            return result;
        }
        const QByteArrayView line = in.readLineView();
        appendLine(result.head, line);
        if (line == kStartMarkerBytes)
            break;
    }

    // The first list line; a file that ends here, or right after it, has no list.
    if (in.atEnd()) {
        host.failure(kMsgNoList);
        return result;
    }
    QByteArrayView line = in.readLineView();
    if (in.atEnd()) {
        host.failure(kMsgNoList);
        return result;
    }
    result.listStarted = true;
    host.listStarts();

    while (line != kEndMarkerBytes) {
        // An entry line whose comment line is missing is followed by the next entry line,
        // which then fails as its comment line; it is read again as an entry line.
        if (isEntryLine(line)) {
            Entry entry;
            QByteArrayView comLine;
            QString message;
            switch (readPair(in, line, &entry, &comLine, &message)) {
                case Pair::Read:
                    ++result.entries;
                    host.entry(std::move(entry));
                    break;
                case Pair::EndForComment:
                    host.failure(kMsgNoComment);
                    return result;
                case Pair::FileEnds:
                    host.failure(kMsgNoEndMarker);
                    return result;
                case Pair::BadAddress:
                case Pair::BadComment:
                    host.failure(message);
                    [[fallthrough]];
                case Pair::BadDate:
                    if (!host.askContinue())
                        return result;
                    if (isEntryLine(comLine)) {
                        line = comLine;
                        continue;
                    }
                    break;
            }
        }
        // Next line; stretches read ahead from here are taken whole.
        while (ReadAhead* part = ahead.at(in.position())) {
            ++result.stretchesTaken;
            result.entries += static_cast<int>(part->entries.size());
            host.stretch(part->entries, std::move(part->work));
            part->entries = {};
            in.seek(part->stop);
        }
        line = in.readLineView();
        if (line == kEndMarkerBytes)
            break;
        if (in.atEnd()) {
            host.failure(kMsgNoEndMarker);
            return result;
        }
    }

    // Footer: the end marker and every line after it.
    appendLine(result.foot, line);
    while (!in.atEnd())
        appendLine(result.foot, in.readLineView());
    result.complete = true;
    result.stretchesReadAhead = ahead.claimedAhead();
    return result;
}
