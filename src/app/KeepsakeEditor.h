// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "app/CommandGate.h"
#include "app/ListRows.h"
#include "app/Platform.h"
#include "keepsake/EntryListModel.h"
#include "pages/CategoryListModel.h"
#include "search/CollectionIndex.h"
#include "settings/SharedSettings.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace collation {
class BackgroundOrder;
}
class BrowserDetector;
class KeepsakeWatch;
class KeptMarks;
class PageMarks;
class QTimer;

// The editor without its window: the kept entries, the loaded category page, the category
// list, the settings, the lists' rows and selections, and the procedures that read and write
// them. The window "KEEPSAKE EDITOR" shows this state and forwards the user's actions to the
// procedures, which keep their names and live in the folders of their subsystems.
class KeepsakeEditor : public QObject {
    Q_OBJECT

public:
    explicit KeepsakeEditor(Platform platform, QObject* parent = nullptr);
    ~KeepsakeEditor() override;

    // Start-up after the window has been fitted. `appFolder` is the program's folder. False
    // when the program must end (a fatal error while reading the keepsake file).
    bool Load(const QString& appFolder);
    // Shut-down: the index pages are written; nothing else is saved. False when the program
    // has ended already or was shut down before.
    bool Unload();
    // The window is about to close: false when it is to stay open (the user kept a changed
    // page).
    bool QueryUnload();
    // True once a fatal error has ended the program.
    bool hasEnded() const { return m_ended; }
    // Ends the program at once after a fatal error: nothing more is saved.
    void endProgram(int status);

    // ---- State ----
    QString AppFolder;
    SharedSettings settings;

    // Kept entries, 1-based; element 0 holds none. The arrays only grow.
    QList<QString> KeepURL;
    QList<QString> KeepCom;
    QList<QDateTime> KeepDate;
    int KeepCount = 0;
    // Headers and footers are written back as read: they are held as the file's bytes.
    // KeepHead and KeepFoot are those of the last complete read, empty before one.
    QByteArray KeepHead;
    QByteArray KeepFoot;

    // The loaded category page, 1-based like the kept entries.
    QList<QString> KindURL;
    QList<QString> KindCom;
    QList<QDateTime> KindDate;
    int KindCount = 0;
    QByteArray KindHead;
    QByteArray KindFoot;
    // The loaded page was read to its end (or newly created), so it has a footer of its own.
    bool KindComplete = false;
    // A category page has been loaded or created since start-up.
    bool KindLoadedOnce = false;
    // The page number of the loaded page, or -1 while none is loaded (before the first
    // selection, and once the category list has been loaded again).
    int KindPage = -1;
    // The loaded page has changes ("↓", Delete, a changed comment) not written since it was
    // loaded: leaving it asks first.
    bool KindChanged = false;

    QByteArray IndexHead;
    QByteArray IndexFoot;
    // LoadKinds has run in this run: lstKinds stands for the stored list, and the index and
    // the end mark may be written from it.
    bool KindsLoaded = false;
    // The index page could not be read at start-up; it is left as it is for the whole run.
    bool IndexUnreadable = false;

    int ApiResult = 0;
    const QString CrLf = QStringLiteral("\r\n");
    const QString QuoteChar = QStringLiteral("\"");
    bool CompanionLinked = false;
    bool BrowserSeen = false;

    // ---- The lists: their rows and selections; the window's lists are views of them ----
    // Kept entries by address (sorted), by comment (sorted) and in file order.
    std::array<ListOf<EntryListModel>, 3> lstURLs;
    // Categories by name.
    ListOf<CategoryListModel> lstKinds;
    // The loaded category's entries by comment.
    ListOf<EntryListModel> lstSub;

    // ---- What the window shows besides the lists ----
    // The kept-entry list in front, as the display-order buttons choose it.
    int FrontList = 0;
    QString ComCaption;   // lblCom
    QString ComDisplay;   // lblComDisp: the shown entry's comment, or its address
    QString DateDisplay;  // lblDateDisp
    // Shown on the message line, instead of an empty hint, while the keepsake file has changed
    // on disk since it was read; empty otherwise.
    QString KeepsakeNotice;
    bool ScribbleExecEnabled = false;
    bool NNExecEnabled = false;
    // Checked for a browser every 500 milliseconds from the end of Load to Unload.
    QTimer* Timer1 = nullptr;

    // ---- Procedures ----
    // Keepsake file.
    void ReadKeepsake(const QString& name);
    // "Continue with the next data?" after a scanner failure; true for OK.
    bool AskContinue();
    void lstURLs_Click(int index);
    void optKind_Click(int index);

    // Settings.
    // *cut, when given, tells whether the stored value was too long and came back cut.
    QString ReadIniString(const QString& section, const QString& key, bool* cut = nullptr);
    // Writes `value` under `IniKey` in section `IniSection`; a failure is reported.
    bool WriteIniValue(const QString& IniSection, const QString& IniKey, const QString& value);

    // Category pages.
    void lstKinds_Click();
    bool ReadKindPage(const QString& pageNumberText);
    bool WriteKindPage(const QString& pageNumberText, const QString& title);
    // Before anything leaves the loaded page (another category, the close, a new category
    // list): when it has changes, asks whether to write them. False when the user stays on
    // it: Cancel, or Yes and the page could not be written (its box has said why).
    bool LeaveKindPage();

    // Index and frame pages.
    void LoadKinds();
    void ReadIndexPage(QByteArray& head, QByteArray& foot, bool& ok);
    void WriteIndexPages();

    // Commands.
    void cmdNew_Click();
    void Command1_Click();
    void cmdSave_Click();
    void cmdEditCom_Click();
    void cmdMove_Click();
    void lstSub_KeyUp(int& keyCode, Qt::KeyboardModifiers shift);

    // Companion link and folder commands.
    bool LinkCompanion(bool readSetting);
    void mn_FolderSet_Click();
    void mn_NetscapeFolderSet_Click();

    // Browser and companion.
    bool BrowserRunning();
    void Timer1_Timer();
    void cmdSend_Click();
    void cmdPreview_Click();
    void mn_NNExec_Click();
    void mn_ScribbleExec_Click();
    void mn_Option_Click();
    // The collection's index: what is filed where, and what can be found. Built once the
    // window is shown; filed kept entries are dimmed, or hidden with "整理済みを隠す".
    CollectionIndex* Index = nullptr;  // a child object
    bool HideFiled = false;
    void BuildIndex();
    void mn_HideFiled_Click(bool hide);
    // Selects a found entry: its category and its row in lstSub, or the kept entry in the
    // list in front.
    void ShowFound(const CollectionIndex::Hit& hit);
    // Selects the category in `row` of lstKinds, loading its page.
    void selectCategoryRow(int row);
    // The kept entries are about to be read again: their marks no longer hold.
    void forgetKeptMarks();

    // What tells whether the browser runs; made on first use.
    BrowserDetector& browserDetector();

    Platform platform() const { return m_platform; }
    // Held while a box of the editor is open or the keepsake file is read: no command starts.
    CommandGate& commands() { return m_commands; }

signals:
    // Something the window shows besides the lists has changed.
    void displayChanged();
    // The hint line is to show `text`.
    void message(const QString& text);
    // A fatal error ends the program with `status`.
    void ended(int status);

private:
    void setUpMarks();
    void refreshMarks();
    // ReadKindPage; when `order` is given, a comment order is made there once the page's size
    // is known, and each comment read is handed to it as it comes, and each address's hash
    // for the page's marks is put in `urlHashes` by entry number, where it is read.
    bool readKindPage(const QString& pageNumberText,
                      std::optional<collation::BackgroundOrder>* order,
                      std::vector<size_t>* urlHashes);

    std::unique_ptr<KeptMarks> m_keptMarks;
    std::unique_ptr<PageMarks> m_pageMarks;
    // The loaded page's marks have been counted as it was shown, for the list's reset that
    // follows.
    bool m_pageMarksCounted = false;
    bool m_keptIndexed = false;  // the index has been given the kept entries of a read
    CommandGate m_commands;
    std::unique_ptr<GuardedPrompts> m_guardedPrompts;
    Platform m_platform;
    bool m_ended = false;
    bool m_unloaded = false;
    // The selection of lstKinds is being put back on the loaded page's category.
    bool m_keepingKind = false;
    // The row of the loaded page's category in lstKinds, or -1.
    int rowOfKindPage() const;
    BrowserDetector* m_browserDetector = nullptr;  // a child object
    KeepsakeWatch* m_keepsakeWatch = nullptr;      // a child object
};
