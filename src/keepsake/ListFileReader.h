// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "keepsake/KeepsakeFormat.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

// What a host does with each entry of a stretch read ahead, on the thread that reads it, so
// that the work is done by the time the host is handed the stretch.
class ListFileStretchWork {
public:
    virtual ~ListFileStretchWork() = default;
    virtual void entry(const keepsake::Entry& entry) = 0;
};

// Reads a file in the keepsake layout (header, list block, footer) and hands every entry to
// its host. Both the keepsake file and the category pages are read with it; the host shows
// the messages and answers the question after a scanner failure, so this code itself never
// opens a window and can be fed any bytes.
class ListFileHost {
public:
    virtual ~ListFileHost() = default;
    // The header has been read and a first list line exists: the list is about to be filled.
    virtual void listStarts() {}
    virtual void entry(keepsake::Entry entry) = 0;
    // The work for a stretch of `size` bytes about to be read ahead on another thread, or
    // none; asked on the host's thread before that thread starts.
    virtual std::unique_ptr<ListFileStretchWork> stretchWork(qsizetype size) {
        Q_UNUSED(size);
        return nullptr;
    }
    // A stretch read ahead, its entries in the file's order, with the work stretchWork() gave
    // for it done on each: as if each entry were handed to entry(), which is what this does
    // unless the host does it another way.
    virtual void stretch(std::vector<keepsake::Entry>& entries,
                         std::unique_ptr<ListFileStretchWork> work);
    // A critical message with an OK button.
    virtual void failure(const QString& message) = 0;
    // "Continue with the next data?" — true for OK.
    virtual bool askContinue() = 0;
};

struct ListFileResult {
    // The header and footer as the file holds them, each line followed by CR LF; they are
    // written back as they are, so they stay bytes (duplicate and invalid codes included).
    QByteArray head;           // every header line read
    QByteArray foot;           // the footer; valid when complete
    bool listStarted = false;  // listStarts() was called
    bool complete = false;     // read through to the end of the file
    int entries = 0;
    int stretchesReadAhead = 0;  // of the list, by other threads; set when complete
    int stretchesTaken = 0;      // of those read ahead, the ones taken whole
};

// The list of a large file can be read by `threads` threads, the others reading stretches of
// it ahead; the host is still called on the calling thread alone, in the file's order,
// exactly as a reading on one thread calls it. That pays when the host keeps the new texts (a
// category page); a host that mostly drops them (a reload that keeps the texts it had) is
// better served by one thread, as the texts made on another thread are freed on this one.
ListFileResult readListFile(const QByteArray& data, ListFileHost& host, int threads = 1);
// The threads worth reading a file of `size` bytes with on this machine: one per core, at
// most four, none for less than 64 KiB.
int listFileThreads(qsizetype size);
