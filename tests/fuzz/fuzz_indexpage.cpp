// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The index page reader on any bytes, and the page it composes read back: head and foot
// survive, the lines between the markers are the program's own.
#include "FuzzCheck.h"
#include "keepsake/KeepsakeFormat.h"
#include "pages/IndexFormat.h"
#include "pages/PageFormat.h"
#include "pages/PageMarkup.h"
#include "platform/Cp932Codec.h"
#include "platform/LineReader.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz_indexpage {

namespace {

using fuzzcheck::check;

QStringList linesOf(const QByteArray& bytes) {
    LineReader in(bytes);
    QStringList lines;
    while (!in.atEnd())
        lines << in.readLine();
    return lines;
}

QByteArray joinedLines(const QByteArray& bytes, qsizetype from, qsizetype to) {
    LineReader in(bytes);
    QByteArrayList lines;
    for (qsizetype i = 0; !in.atEnd(); ++i) {
        const QByteArrayView line = in.readLineView();
        if (i >= from && i < to)
            lines << line.toByteArray();
    }
    return lines.join("\r\n");
}

// Category lines made from the input's own lines, as names of categories.
QStringList indexLines(const QStringList& names) {
    QStringList lines;
    int page = 0;
    for (const QString& name : names) {
        if (lines.size() == 8)
            break;
        lines << indexpage::indexLine(pages::pageFileName(pages::pageNumberText(page++)), name);
    }
    return lines;
}

void readsBack(const QByteArray& head, const QByteArray& foot, const QStringList& lines) {
    const QByteArray page = indexpage::compose(head, lines, foot);
    const indexpage::ReadResult again = indexpage::read(page);
    check(again.ok && again.missingMessage.isEmpty());
    check(again.head == head);
    check(again.foot == foot);
    // Composed again, the page is the same, and without the category lines it is the page
    // with an empty list.
    check(indexpage::compose(again.head, lines, again.foot) == page);
    // A head that declares no charset is followed by the META line, where browsers see it.
    const qsizetype metaLines = pages::charsetLine(head + "\r\n").isEmpty() ? 0 : 1;
    const QStringList pageLines = linesOf(page);
    check(pageLines.size() ==
          head.count("\r\n") + 1 + metaLines + lines.size() + foot.count("\r\n") + 1);
}

}  // namespace

int testOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList lines = linesOf(bytes);
    const indexpage::ReadResult result = indexpage::read(bytes);

    if (!result.ok) {
        check(result.missingMessage == keepsake::kMsgNoStartMarker ||
              result.missingMessage == keepsake::kMsgNoEndMarker);
        const bool hasStart = lines.contains(keepsake::kStartMarker);
        check(result.missingMessage ==
              (hasStart ? keepsake::kMsgNoEndMarker : keepsake::kMsgNoStartMarker));
        // The page is rebuilt from the standard head and foot, which read back.
        readsBack(indexpage::standardHead(), indexpage::standardFoot(), indexLines(lines));
        return 0;
    }

    // The head runs through the first start marker, the foot from the first end marker after
    // it to the last line.
    check(result.missingMessage.isEmpty());
    const qsizetype start = lines.indexOf(keepsake::kStartMarker);
    check(start >= 0);
    const qsizetype end = lines.indexOf(keepsake::kEndMarker, start + 1);
    check(end > start);
    check(result.head == joinedLines(bytes, 0, start + 1));
    check(result.foot == joinedLines(bytes, end, lines.size()));
    check(result.head.endsWith("<!--StartList-->"));
    check(result.foot.startsWith("<!--EndList-->"));
    readsBack(result.head, result.foot, indexLines(lines));
    readsBack(result.head, result.foot, {});
    return 0;
}

}  // namespace fuzz_indexpage

KEEPSAKE_FUZZ_ENTRY_POINT(fuzz_indexpage)
