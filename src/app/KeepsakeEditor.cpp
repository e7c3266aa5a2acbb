// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/KeepsakeEditor.h"

#include "keepsake/Collation.h"
#include "keepsake/KeepsakeWatch.h"
#include "platform/Prompts.h"
#include "platform/WindowList.h"
#include "search/FiledMarks.h"
#include "settings/EditorPreferences.h"
#include "settings/FoundFiles.h"
#include "settings/ProfileFile.h"

#include <QCoreApplication>
#include <QTimer>

namespace {
EntryListModel* entries(const QList<QString>& texts, EntryListModel::Order order, QObject* owner) {
    return new EntryListModel(texts, order, owner);
}
}  // namespace

KeepsakeEditor::KeepsakeEditor(Platform platform, QObject* parent)
    : QObject(parent),
      lstURLs{{{entries(KeepURL, EntryListModel::Order::Sorted, this), this},
               {entries(KeepCom, EntryListModel::Order::Sorted, this), this},
               {entries(KeepURL, EntryListModel::Order::AsAdded, this), this}}},
      lstKinds(new CategoryListModel(this), this),
      lstSub(entries(KindCom, EntryListModel::Order::Sorted, this), this),
      Timer1(new QTimer(this)),
      m_guardedPrompts(std::make_unique<GuardedPrompts>(platform.prompts, m_commands)),
      m_platform{*m_guardedPrompts, platform.windows, platform.launcher} {
    KeepURL.resize(1);
    KeepCom.resize(1);
    KeepDate.resize(1);
    KindURL.resize(1);
    KindCom.resize(1);
    KindDate.resize(1);
    ComCaption = QStringLiteral("コメント：");
    Timer1->setInterval(500);
    // The lists sort faster once the characters' weights are read; the first read at start
    // does not wait for them.
    collation::prepare();

    // The comment order is sorted when it is first shown or used: after a read, the address
    // order is in front.
    lstURLs[1].model().setSortWhenAsked(true);
    // The display shows the entry of the list in front; a list behind it shows its own when
    // it comes to the front.
    for (int i = 0; i < 3; ++i) {
        connect(lstURLs[i].selection(), &QItemSelectionModel::currentRowChanged, this,
                [this, i](const QModelIndex& current) {
                    if (current.isValid() && i == FrontList)
                        lstURLs_Click(i);
                });
    }
    // A category loads when the user selects one, never because the list got the focus.
    connect(lstKinds.selection(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_keepingKind && lstKinds.selectedRow() >= 0)
            lstKinds_Click();
    });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    // Nothing is read until the user asks with "Reload!".
    m_keepsakeWatch = new KeepsakeWatch(this);
    connect(m_keepsakeWatch, &KeepsakeWatch::changed, this, [this] {
        KeepsakeNotice =
            QStringLiteral("キープセイクファイルが更新されました。Reload!で読み込みます。");
        emit message(KeepsakeNotice);
    });
    setUpMarks();
}

KeepsakeEditor::~KeepsakeEditor() = default;

bool KeepsakeEditor::Load(const QString& appFolder) {
    // AppFolder with exactly one trailing separator; the settings file lies beside it.
    AppFolder = appFolder;
    if (!AppFolder.endsWith(u'/'))
        AppFolder += u'/';
    settings.CompanionFolder = AppFolder;
    settings.IniPath = foundfiles::settingsFile(AppFolder);

    CompanionLinked = LinkCompanion(true);
    ScribbleExecEnabled =
        CompanionLinked && !m_platform.windows.hasWindowTitled(QStringLiteral("Scribble"));
    emit displayChanged();

    ReadKeepsake(QStringLiteral("KEEPSAKE.HTML"));
    if (m_ended)
        return false;

    bool ok = false;
    ReadIndexPage(IndexHead, IndexFoot, ok);
    if (!ok)
        m_platform.prompts.information(QStringLiteral("[URL_INDEX.HTML]を再構築しました。"));

    bool browserCut = false;
    settings.BrowserFolder =
        ReadIniString(QStringLiteral("Netscape"), QStringLiteral("Folder"), &browserCut);
    if (browserCut) {
        // A cut folder names no folder the browser is in: the browser counts as not set.
        settings.BrowserFolder.clear();
        m_platform.prompts.information(
            cutValueMessage(settings.IniPath, QStringLiteral("Netscape"),
                            QStringLiteral("Folder")) +
            QStringLiteral("\n「Netscapeのフォルダ指定」でフォルダーを指定し直してください。"));
    }
    Timer1->start();
    if (preferences::hideFiled())
        mn_HideFiled_Click(true);
    // Once the event loop runs, that is once the window is shown.
    QTimer::singleShot(0, this, [this] { BuildIndex(); });
    return true;
}

bool KeepsakeEditor::Unload() {
    if (m_ended || m_unloaded)
        return false;
    m_unloaded = true;
    Timer1->stop();
    WriteIndexPages();
    return true;
}

bool KeepsakeEditor::QueryUnload() {
    return m_ended || m_unloaded || LeaveKindPage();
}

void KeepsakeEditor::endProgram(int status) {
    m_ended = true;
    Timer1->stop();
    emit ended(status);
    QCoreApplication::exit(status);
}
