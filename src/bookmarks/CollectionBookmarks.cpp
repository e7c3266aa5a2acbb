// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bookmarks/CollectionBookmarks.h"

#include "collecting/KeptEntry.h"
#include "keepsake/ListFileReader.h"
#include "pages/PageFormat.h"
#include "platform/Cp932Codec.h"
#include "platform/FileLookup.h"
#include "platform/TextFile.h"
#include "settings/ProfileFormat.h"

#include <QSet>

namespace bookmarks {
namespace {

const QString kKeepsakeName = QStringLiteral("KEEPSAKE.HTML");

// Reads a page or the keepsake file without a box: a damaged entry is passed over and the
// rest is still read.
class SilentHost : public ListFileHost {
public:
    void entry(keepsake::Entry e) override { entries.append(std::move(e)); }
    void failure(const QString&) override { damaged = true; }
    bool askContinue() override {
        damaged = true;
        return true;
    }
    QList<keepsake::Entry> entries;
    bool damaged = false;
};

QList<keepsake::Entry> readEntries(const QByteArray& bytes, bool* whole) {
    SilentHost host;
    const ListFileResult r = readListFile(bytes, host);
    *whole = r.complete && !host.damaged;
    return std::move(host.entries);
}

// The entries of every category's page, in the order of `categories`; pages never made hold
// none.
QList<QList<keepsake::Entry>> readPages(const QString& folder, const QList<Category>& categories,
                                        QStringList* unreadable, const Progress& progress,
                                        qint64 total, bool* cancelled) {
    const filelookup::FolderFiles files(folder);
    QList<QList<keepsake::Entry>> pages;
    pages.reserve(categories.size());
    for (const Category& c : categories) {
        if (progress && !progress(pages.size(), total)) {
            *cancelled = true;
            return {};
        }
        const QString name = pages::pageFileName(pages::pageNumberText(c.page));
        const QString path = files.find(name);
        QByteArray bytes;
        bool whole = true;
        if (!path.isEmpty()) {
            if (textfile::readAll(path, &bytes)) {
                pages.append(readEntries(bytes, &whole));
            } else {
                pages.append(QList<keepsake::Entry>());
                whole = false;
            }
        } else {
            pages.append(QList<keepsake::Entry>());
        }
        if (!whole)
            unreadable->append(name);
    }
    return pages;
}

QString keepsakePath(const collecting::KeepPlace& place) {
    const QString found = filelookup::findFile(place.keepsakeFolder, kKeepsakeName);
    return found.isEmpty() ? place.keepsakeFolder + kKeepsakeName : found;
}

}  // namespace

QString addressKey(const QString& storedUrl) {
    return storedUrl.endsWith(u'/') ? storedUrl.chopped(1) : storedUrl;
}

QList<Category> storedCategories(const QString& iniPath) {
    QByteArray file;
    textfile::readAll(iniPath, &file);
    const QHash<QByteArray, QByteArray> books = profileReadSection(file, "Books");
    QList<Category> categories;
    for (int n = 0;; ++n) {
        const QByteArray value = books.value(profileFoldName(pages::pageNumberText(n).toLatin1()));
        if (value.isEmpty())
            break;
        categories.append({n, cp932::decode(value)});
    }
    return categories;
}

ExportResult exportCollection(const collecting::KeepPlace& place, const QList<Category>& categories,
                              const QString& file, const Progress& progress) {
    ExportResult result;
    const qint64 total = categories.size() + 1;
    const QList<QList<keepsake::Entry>> pages =
        readPages(place.collectionFolder, categories, &result.unreadablePages, progress, total,
                  &result.cancelled);
    if (result.cancelled)
        return result;

    QList<ExportFolder> folders;
    QSet<QString> filed;
    for (qsizetype i = 0; i < categories.size(); ++i) {
        ExportFolder folder{categories[i].name, {}};
        for (const keepsake::Entry& e : pages[i]) {
            folder.entries.append({QStringLiteral("http://") + e.url, e.com, e.date});
            filed.insert(addressKey(e.url));
        }
        result.entries += static_cast<int>(folder.entries.size());
        folders.append(std::move(folder));
    }
    const QString keepsake = filelookup::findFile(place.keepsakeFolder, kKeepsakeName);
    QByteArray bytes;
    if (!keepsake.isEmpty() && textfile::readAll(keepsake, &bytes)) {
        bool whole = true;
        ExportFolder kept{kKeptFolderName, {}};
        for (const keepsake::Entry& e : readEntries(bytes, &whole)) {
            // Kept twice, or filed already: the bookmark is there once.
            if (filed.contains(addressKey(e.url)))
                continue;
            filed.insert(addressKey(e.url));
            kept.entries.append({QStringLiteral("http://") + e.url, e.com, e.date});
        }
        if (!whole)
            result.unreadablePages.append(kKeepsakeName);
        result.entries += static_cast<int>(kept.entries.size());
        if (!kept.entries.isEmpty())
            folders.append(std::move(kept));
    }
    result.folders = static_cast<int>(folders.size());
    if (progress && !progress(total, total)) {
        result.cancelled = true;
        return result;
    }
    QString reason;
    if (!textfile::replace(file, writeBookmarkFile(folders), &reason)) {
        result.message = pages::writeFailedMessage(file, reason);
        return result;
    }
    result.ok = true;
    return result;
}

ImportResult importBookmarks(const collecting::KeepPlace& place, const QList<Category>& categories,
                             const QString& file, const QDateTime& now, const Progress& progress) {
    QByteArray bytes;
    QString reason;
    if (!textfile::readAll(file, &bytes, &reason)) {
        ImportResult result;
        result.message =
            QStringLiteral("[") + file + QStringLiteral("]を読み込めませんでした。\n") + reason;
        return result;
    }
    return importBookmarkBytes(place, categories, bytes, now, progress);
}

ImportResult importBookmarkBytes(const collecting::KeepPlace& place,
                                 const QList<Category>& categories, const QByteArray& bytes,
                                 const QDateTime& now, const Progress& progress) {
    ImportResult result;
    result.keepsakeFile = keepsakePath(place);
    const ParsedFile parsed = parseBookmarkFile(bytes);
    result.read = static_cast<int>(parsed.bookmarks.size() + parsed.malformed.size());
    result.folders = parsed.folders;
    for (const Malformed& m : parsed.malformed)
        ++result.refused[m.reason];

    const qint64 total = categories.size() + parsed.bookmarks.size();
    QStringList unreadable;
    const QList<QList<keepsake::Entry>> pages = readPages(
        place.collectionFolder, categories, &unreadable, progress, total, &result.cancelled);
    if (result.cancelled)
        return result;
    QSet<QString> known;
    for (const QList<keepsake::Entry>& page : pages) {
        for (const keepsake::Entry& e : page)
            known.insert(addressKey(e.url));
    }

    // Counted afresh on each try: the file is read under the lock.
    ImportResult counted;
    const collecting::KeepResult kept = collecting::changeKeepsake(
        place, [&](const QByteArray& current, QByteArray* changed, QString* why) {
            counted = result;
            QSet<QString> seen = known;
            bool whole = true;
            for (const keepsake::Entry& e : readEntries(current, &whole))
                seen.insert(addressKey(e.url));
            QString lines;
            qint64 done = categories.size();
            for (const Bookmark& b : parsed.bookmarks) {
                if (progress && done % 1000 == 0 && !progress(done, total))
                    return false;
                ++done;
                const collecting::KeptEntry entry =
                    collecting::prepareEntry(b.url, b.title, b.description);
                if (!entry.ok()) {
                    ++counted.refused[entry.error];
                    continue;
                }
                const QString key = addressKey(entry.url);
                if (seen.contains(key)) {
                    ++counted.duplicates;
                    continue;
                }
                seen.insert(key);
                const QDateTime date =
                    b.addDate >= 0 ? QDateTime::fromSecsSinceEpoch(b.addDate) : now;
                keepsake::appendEntryLines(lines, entry.url, entry.com, date,
                                           keepsake::LinkTarget::AsCompanion);
                ++counted.kept;
            }
            if (progress && !progress(total, total))
                return false;
            if (counted.kept == 0) {
                // Nothing to add: the file stays as it is.
                *changed = current;
                return true;
            }
            if (!collecting::insertLines(current, cp932::encode(lines), changed, why)) {
                *why += QStringLiteral("\nキープセイクファイルは変更していません。");
                return false;
            }
            return true;
        });
    const bool cancelled = !kept.ok && kept.message.isEmpty();
    result = counted;
    result.keepsakeFile = kept.file.isEmpty() ? result.keepsakeFile : kept.file;
    result.cancelled = cancelled;
    result.ok = kept.ok;
    if (!kept.ok) {
        result.kept = 0;
        result.message = kept.message;
    }
    return result;
}

QString exportSummary(const ExportResult& result, const QString& file) {
    QString text =
        QStringLiteral("[") + file +
        QStringLiteral("]に、フォルダー%1個とブックマーク%2件を書き出しました。\n")
            .arg(result.folders)
            .arg(result.entries) +
        QStringLiteral("アドレスは保存されているとおり「http://」付きで書き出してあります。");
    if (!result.unreadablePages.isEmpty()) {
        text += QStringLiteral("\n一部を読めなかったファイル: ") +
                result.unreadablePages.join(QStringLiteral(", "));
    }
    return text;
}

QString importSummary(const ImportResult& result) {
    int refused = 0;
    for (const int n : result.refused)
        refused += n;
    QString text = QStringLiteral(
                       "読み込んだブックマーク: %1件\nキープしたもの: %2件\n"
                       "キープ済み・整理済みで飛ばしたもの: %3件\n受け付けなかったもの: %4件")
                       .arg(result.read)
                       .arg(result.kept)
                       .arg(result.duplicates)
                       .arg(refused);
    for (auto it = result.refused.cbegin(); it != result.refused.cend(); ++it)
        text += QStringLiteral("\n　%1件: ").arg(it.value()) + it.key();
    text += QStringLiteral(
        "\nフォルダーはカテゴリーになりません。キープした項目はエディターで整理してください。");
    return text;
}

}  // namespace bookmarks
