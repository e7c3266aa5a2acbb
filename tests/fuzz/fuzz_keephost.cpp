// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Any bytes on the host's input (framing and JSON: short, huge, truncated, not UTF-8, wrong
// types): one framed answer for each whole message, or a clean end, never a crash; and the
// keepsake file changes only by the entries the answers report kept.
#include "FuzzCheck.h"
#include "collecting/KeepHost.h"
#include "keepsake/ListFileReader.h"
#include "platform/TextFile.h"

#include <QBuffer>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace fuzz_keephost {

namespace {

struct Count : ListFileHost {
    int entries = 0;
    void entry(keepsake::Entry) override { ++entries; }
    void failure(const QString&) override {}
    bool askContinue() override { return true; }
};

int entriesIn(const QString& path) {
    QByteArray bytes;
    if (!textfile::readAll(path, &bytes))
        return -1;
    Count host;
    (void)readListFile(bytes, host);
    return host.entries;
}

}  // namespace

int testOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    static const QString folder = dir.path() + QStringLiteral("/");
    static const QString file = folder + QStringLiteral("KEEPSAKE.HTML");
    static const QByteArray start =
        "<HTML>\r\n<!--StartList-->\r\n<A HREF=\"http://o/\">o/</A><BR>\r\n\x81\x73 o \x81\x74"
        "97/09/15 08:05:00<P>\r\n<!--EndList-->\r\n</HTML>\r\n";
    if (!textfile::replace(file, start))
        std::abort();

    QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer in(&input);
    QByteArray output;
    QBuffer out(&output);
    in.open(QIODevice::ReadOnly);
    out.open(QIODevice::WriteOnly);
    const collecting::KeepTarget target{{folder, folder}, {}};
    collecting::serve(
        in, out, [&] { return target; },
        [] { return QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)); });

    int kept = 0;
    qsizetype pos = 0;
    while (pos < output.size()) {
        quint32 length = 0;
        if (output.size() - pos < 4)
            std::abort();
        std::memcpy(&length, output.constData() + pos, 4);
        if (output.size() - pos - 4 < qsizetype(length))
            std::abort();
        const QJsonDocument answer = QJsonDocument::fromJson(output.mid(pos + 4, length));
        if (!answer.isObject())
            std::abort();
        const QJsonObject object = answer.object();
        if (object.value(QStringLiteral("ok")).toBool()) {
            if (object.contains(QStringLiteral("stored")))
                ++kept;
        } else if (!object.value(QStringLiteral("error")).isString()) {
            std::abort();
        }
        pos += 4 + length;
    }
    if (kept == 0) {
        QByteArray now;
        if (!textfile::readAll(file, &now) || now != start)
            std::abort();
    } else if (entriesIn(file) != 1 + kept) {
        std::abort();
    }
    return 0;
}

}  // namespace fuzz_keephost

KEEPSAKE_FUZZ_ENTRY_POINT(fuzz_keephost)
