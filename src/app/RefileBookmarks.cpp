// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The ツール menu's bookmark commands. The work runs on a thread of its own while a progress
// bar with Cancel stands over the window, so that a long file never freezes it; what the user
// answers and the summary at the end go through the prompts.
#include "app/KeepsakeEditor.h"
#include "app/Refile.h"
#include "bookmarks/CollectionBookmarks.h"
#include "collecting/KeepTarget.h"

#include <QDir>
#include <QEventLoop>
#include <QPointer>
#include <QProgressDialog>
#include <QThread>

#include <atomic>
#include <memory>
#include <optional>

namespace {

// Runs `work(progress)` on a worker thread behind a window-modal progress bar; Cancel makes
// the next progress call answer false.
template <class Work>
void runWithProgress(QWidget* window, const QString& label, Work work) {
    QProgressDialog dialog(label, QStringLiteral("キャンセル"), 0, 1000, window);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(300);
    dialog.setValue(0);
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog,
                     [cancelled] { *cancelled = true; });
    QPointer<QProgressDialog> shown(&dialog);
    const bookmarks::Progress progress = [cancelled, shown](qint64 done, qint64 total) {
        const int value = total > 0 ? static_cast<int>(done * 1000 / total) : 0;
        QMetaObject::invokeMethod(
            shown.data(),
            [shown, value] {
                if (shown)
                    shown->setValue(value);
            },
            Qt::QueuedConnection);
        return !*cancelled;
    };
    QEventLoop loop;
    QThread* thread = QThread::create([&work, progress] { work(progress); });
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec();
    thread->wait();
    delete thread;
}

// Where the collection keeps entries, or nothing after saying why it cannot.
std::optional<collecting::KeepTarget> keepTarget(KeepsakeEditor& e) {
    collecting::KeepTarget target = collecting::findKeepTarget(e.AppFolder);
    if (!target.error.isEmpty()) {
        e.platform().prompts.critical(target.error);
        return std::nullopt;
    }
    return target;
}

QList<bookmarks::Category> listedCategories(const KeepsakeEditor& e) {
    QList<bookmarks::Category> categories;
    const CategoryListModel& kinds = e.lstKinds.model();
    for (int row = 0; row < kinds.count(); ++row)
        categories.append({kinds.page(row), kinds.name(row)});
    return categories;
}

}  // namespace

void Refile::mn_ExportBookmarks_Click() {
    KeepsakeEditor& e = *m_editor;
    Prompts& prompts = e.platform().prompts;
    const QString file = prompts.chooseFile(true, QStringLiteral("ブックマークの書き出し"),
                                            QDir::homePath() + QStringLiteral("/bookmarks.html"));
    if (file.isEmpty())
        return;
    const std::optional<collecting::KeepTarget> target = keepTarget(e);
    if (!target)
        return;
    const QList<bookmarks::Category> categories = listedCategories(e);
    bookmarks::ExportResult result;
    runWithProgress(this, QStringLiteral("ブックマークを書き出しています…"),
                    [&](const bookmarks::Progress& progress) {
                        result =
                            bookmarks::exportCollection(target->place, categories, file, progress);
                    });
    if (result.cancelled)
        return;
    if (!result.ok) {
        prompts.critical(result.message);
        return;
    }
    prompts.information(bookmarks::exportSummary(result, file),
                        QStringLiteral("ブックマークの書き出し"));
}

void Refile::mn_ImportBookmarks_Click() {
    KeepsakeEditor& e = *m_editor;
    Prompts& prompts = e.platform().prompts;
    const QString file =
        prompts.chooseFile(false, QStringLiteral("ブックマークの読み込み"), QDir::homePath());
    if (file.isEmpty())
        return;
    const std::optional<collecting::KeepTarget> target = keepTarget(e);
    if (!target)
        return;
    const QList<bookmarks::Category> categories = listedCategories(e);
    const QDateTime now = QDateTime::currentDateTime();
    bookmarks::ImportResult result;
    runWithProgress(this, QStringLiteral("ブックマークを読み込んでいます…"),
                    [&](const bookmarks::Progress& progress) {
                        result = bookmarks::importBookmarks(target->place, categories, file, now,
                                                            progress);
                    });
    if (result.cancelled) {
        prompts.information(QStringLiteral("読み込みをやめました。キープセイクファイルは変更して"
                                           "いません。"),
                            QStringLiteral("ブックマークの読み込み"));
        return;
    }
    if (!result.ok) {
        prompts.critical(result.message);
        return;
    }
    // The new kept entries are listed at once, as after Reload!.
    if (result.kept > 0)
        e.ReadKeepsake(QStringLiteral("KEEPSAKE.HTML"));
    prompts.information(bookmarks::importSummary(result), QStringLiteral("ブックマークの読み込み"));
}
