// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The category list from the settings, and the index, frameset and first category pages.
#include "app/KeepsakeEditor.h"
#include "pages/IndexFormat.h"
#include "pages/KindNumbers.h"
#include "pages/KindPage.h"
#include "pages/PageFormat.h"
#include "pages/PageMarkup.h"
#include "platform/Cp932Codec.h"
#include "platform/FileLookup.h"
#include "platform/Prompts.h"
#include "platform/TextFile.h"
#include "settings/ProfileFormat.h"

namespace {

// Rewrites the index page from the category list.
void writeIndexPage(KeepsakeEditor& w) {
    // Each category links its page under the name it has on disk, or under the name it will
    // be created with.
    const filelookup::FolderFiles files(w.AppFolder);
    const CategoryListModel& kinds = w.lstKinds.model();
    QStringList lines;
    lines.reserve(kinds.count());
    for (int row = 0; row < kinds.count(); ++row) {
        const int page = kinds.page(row);
        const QString pageText = pages::pageNumberText(page);
        QString link = files.find(pages::pageFileName(pageText));
        if (link.isEmpty()) {
            link = page == 0 ? indexpage::kPageZeroFile : pages::pageFileName(pageText);
        } else {
            link = link.mid(w.AppFolder.size());
        }
        lines << indexpage::indexLine(link, kinds.name(row));
    }
    const QString indexPath = filelookup::pathForWriting(w.AppFolder, indexpage::kIndexFile);
    QString error;
    if (!textfile::replace(indexPath, indexpage::compose(w.IndexHead, lines, w.IndexFoot),
                           &error)) {
        w.platform().prompts.critical(pages::writeFailedMessage(indexPath, error));
    }
}

}  // namespace

void KeepsakeEditor::LoadKinds() {
    // The section is read once and looked up key by key; the list ends at the first
    // missing or empty key.
    QByteArray file;
    textfile::readAll(settings.IniPath, &file);
    QSet<QByteArray> cut;
    const QHash<QByteArray, QByteArray> books = profileReadSection(file, "Books", &cut);
    QList<CategoryListModel::Kind> kinds;
    for (int n = 0;; ++n) {
        const QByteArray key = profileFoldName(pages::pageNumberText(n).toLatin1());
        const QByteArray value = books.value(key);
        if (value.isEmpty())
            break;
        kinds.append({cp932::decode(value), n, cut.contains(key)});
    }
    const QSignalBlocker quiet(lstKinds.selection());
    lstKinds.selection()->clear();
    lstKinds.model().load(kinds);
    KindsLoaded = true;
    // No category is selected any more: the loaded page has been left.
    KindPage = -1;
    KindChanged = false;
}

void KeepsakeEditor::ReadIndexPage(QByteArray& head, QByteArray& foot, bool& ok) {
    ok = false;
    const QString existing = filelookup::findFile(AppFolder, indexpage::kIndexFile);
    const QString path = existing.isEmpty() ? AppFolder + indexpage::kIndexFile : existing;
    if (!existing.isEmpty()) {
        QByteArray bytes;
        QString error;
        if (textfile::readAll(existing, &bytes, &error)) {
            const indexpage::ReadResult result = indexpage::read(bytes);
            if (result.ok) {
                head = result.head;
                foot = result.foot;
                ok = true;
                return;
            }
            m_platform.prompts.critical(result.missingMessage);
        } else {
            // An index page that cannot be read is left alone rather than rebuilt over, now and
            // at every later write of this run.
            IndexUnreadable = true;
            m_platform.prompts.critical(QStringLiteral("[") + existing +
                                        QStringLiteral("]を読み込めませんでした。\n") + error);
            head = indexpage::standardHead();
            foot = indexpage::standardFoot();
            ok = true;
            return;
        }
    }
    head = indexpage::standardHead();
    foot = indexpage::standardFoot();
    QString error;
    if (!textfile::replace(path, head + "\r\n" + foot + "\r\n", &error)) {
        // The failure is the news: the page was not rebuilt, so nothing may claim it was.
        m_platform.prompts.critical(pages::writeFailedMessage(path, error));
        ok = true;
    }
    if (existing.isEmpty())
        ok = true;
}

void KeepsakeEditor::WriteIndexPages() {
    QString error;
    // Until the stored list has been loaded in this run, lstKinds says nothing about it: the
    // index and the end mark would erase what is stored.
    if (KindsLoaded) {
        if (!IndexUnreadable)
            writeIndexPage(*this);
        // The end mark goes only where the list ends already: a name stored after a gap is
        // never overwritten.
        const int count = lstKinds.count();
        if (kindnumbers::storedName(kindnumbers::readBooks(settings.IniPath), count).isEmpty()) {
            WriteIniValue(QStringLiteral("Books"), pages::pageNumberText(count), QString());
        }
    }

    // The frames link the index under the name it has on disk.
    const QString index = filelookup::findFile(AppFolder, indexpage::kIndexFile);
    const QString indexName = index.isEmpty() ? indexpage::kIndexFile : index.mid(AppFolder.size());
    const QString frame = filelookup::findFile(AppFolder, indexpage::kFrameFile);
    if (frame.isEmpty()) {
        const QString path = AppFolder + indexpage::kFrameFile;
        if (!textfile::replace(path, cp932::encode(indexpage::framesetPage(indexName)), &error)) {
            m_platform.prompts.critical(pages::writeFailedMessage(path, error));
        }
    } else if (!index.isEmpty()) {
        // A frame page copied from Windows may link the index in another case, which is not
        // found here; only those links change.
        QByteArray bytes;
        if (textfile::readAll(frame, &bytes)) {
            const QByteArray mended = indexpage::linkIndexAs(bytes, indexName);
            if (mended != bytes && !textfile::replace(frame, mended, &error))
                m_platform.prompts.critical(pages::writeFailedMessage(frame, error));
        }
    }

    if (filelookup::findFile(AppFolder, indexpage::kPageZeroFile).isEmpty()) {
        // The first category page must exist. It takes the page loaded last, or the keepsake
        // file's skeleton when no page has been loaded whole, so that it can be read back.
        // Like every new page, it says it is Shift_JIS.
        const QString path = AppFolder + indexpage::kPageZeroFile;
        const bool fromLoaded = KindLoadedOnce && KindComplete;
        const QByteArray head =
            pages::withCharsetMeta(fromLoaded ? KindHead : pages::skeletonHead(KeepHead));
        const QByteArray page =
            fromLoaded ? head + pages::charsetLine(head) + "\r\n" + KindFoot + "\r\n"
                       : pages::composeKindPage(head, {}, {}, pages::skeletonFoot(KeepFoot));
        if (!textfile::replace(path, page, &error)) {
            m_platform.prompts.critical(pages::writeFailedMessage(path, error));
        }
    }
}
