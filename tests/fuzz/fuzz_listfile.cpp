// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The reader of the keepsake layout (header, list block, footer) on any bytes, once with a
// host that always answers OK and once with one that alternates OK and Cancel, each read in
// one part and in three.
#include "FuzzCheck.h"
#include "keepsake/KeepsakeFormat.h"
#include "keepsake/ListFileReader.h"
#include "platform/LineReader.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz_listfile {

using namespace keepsake;

namespace {

using fuzzcheck::check;

// Records what the reader hands over, and checks the order of the calls as they come.
class CheckingHost : public ListFileHost {
public:
    explicit CheckingHost(bool alternate) : m_alternate(alternate) {}

    void listStarts() override {
        check(!started && !ended);
        started = true;
    }
    void entry(Entry e) override {
        check(started && !ended);
        check(!e.url.isEmpty() && !e.url.contains(u'"'));
        check(!e.com.isEmpty() && !e.com.contains(QStringLiteral(" 》")));
        check(!e.url.contains(u'\r') && !e.url.contains(u'\n'));
        check(!e.com.contains(u'\r') && !e.com.contains(u'\n'));
        check(e.date.isValid());
        ++entries;
        kept.append(std::move(e));
    }
    void failure(const QString& message) override {
        check(!ended);
        messages << message;
        // A message that ends the read is the last call.
        if (message != kMsgNoClosingQuote && message != kMsgEmptyAddress &&
            message != kMsgNoCommentLine) {
            check(message == kMsgNoStartMarker || message == kMsgNoList ||
                  message == kMsgNoComment || message == kMsgNoEndMarker);
            ended = true;
        }
    }
    bool askContinue() override {
        check(started && !ended);
        ++questions;
        const bool ok = !m_alternate || questions % 2 == 1;
        if (!ok)
            ended = true;
        return ok;
    }

    bool started = false;
    bool ended = false;
    int entries = 0;
    int questions = 0;
    QStringList messages;
    QList<Entry> kept;

private:
    bool m_alternate;
};

// The file as the reader sees it: every line followed by CR LF.
QByteArray normalized(const QByteArray& bytes) {
    LineReader in(bytes);
    QByteArray text;
    while (!in.atEnd()) {
        text += in.readLineView();
        text += "\r\n";
    }
    return text;
}

QList<Entry> readWith(const QByteArray& bytes, const QByteArray& whole, bool alternate) {
    CheckingHost host(alternate);
    const ListFileResult result = readListFile(bytes, host, 1);

    // Read in parts on several threads, the host hears the same.
    CheckingHost inParts(alternate);
    const ListFileResult parts = readListFile(bytes, inParts, 3);
    check(parts.head == result.head && parts.foot == result.foot &&
          parts.complete == result.complete && parts.entries == result.entries);
    check(inParts.messages == host.messages && inParts.questions == host.questions);
    check(inParts.kept.size() == host.kept.size());
    for (qsizetype i = 0; i < host.kept.size(); ++i) {
        check(inParts.kept[i].url == host.kept[i].url && inParts.kept[i].com == host.kept[i].com &&
              inParts.kept[i].date == host.kept[i].date);
    }

    check(result.entries == host.entries);
    check(result.listStarted == host.started);
    // The header is every line read so far, each with its CR LF.
    check(whole.startsWith(result.head));
    check(result.head.isEmpty() == bytes.isEmpty());
    if (!result.head.isEmpty())
        check(result.head.endsWith("\r\n"));
    if (result.listStarted) {
        check(result.head == "<!--StartList-->\r\n" ||
              result.head.endsWith("\r\n<!--StartList-->\r\n"));
    }
    if (result.complete) {
        check(result.listStarted && !host.ended);
        check(result.foot.startsWith("<!--EndList-->\r\n"));
        check(whole.endsWith(result.foot));
        check(result.head.size() + result.foot.size() <= whole.size());
    } else {
        check(result.foot.isEmpty());
        check(host.ended);  // an incomplete read always says why, or was cancelled
    }
    return host.kept;
}

}  // namespace

int testOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray whole = normalized(bytes);
    const QList<Entry> all = readWith(bytes, whole, false);
    const QList<Entry> some = readWith(bytes, whole, true);
    // Cancel only ever stops the read early: what was read is the start of what OK reads.
    check(some.size() <= all.size());
    for (qsizetype i = 0; i < some.size(); ++i) {
        check(some[i].url == all[i].url && some[i].com == all[i].com &&
              some[i].date == all[i].date);
    }
    return 0;
}

}  // namespace fuzz_listfile

KEEPSAKE_FUZZ_ENTRY_POINT(fuzz_listfile)
