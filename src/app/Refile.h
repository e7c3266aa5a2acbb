#pragma once

#include "app/Platform.h"
#include "keepsake/KeepsakeFormat.h"
#include "settings/SharedSettings.h"

#include <QDateTime>
#include <QList>
#include <QMainWindow>
#include <QString>

#include <array>
#include <memory>

class BrowserDetector;
class CommandGuard;
class GuardedPrompts;
class ImageButton;
class QAction;
class QGroupBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;
class DesignLayout;

// The main window "KEEPSAKE EDITOR". It owns the kept entries, the loaded category page and
// the category list; its procedures live in the folders of their subsystems.
class Refile : public QMainWindow {
    Q_OBJECT

public:
    explicit Refile(Platform platform, QWidget* parent = nullptr);
    ~Refile() override;

    // Start-up. `appFolder` is the program's folder. False when the program must end
    // (a fatal error while reading the keepsake file).
    bool Load(const QString& appFolder);

    // True once a fatal error has ended the program.
    bool hasEnded() const { return m_ended; }

    // ---- Controls ----
    ImageButton* cmdSend = nullptr;
    QLabel* lblCom = nullptr;
    QLabel* lblComDisp = nullptr;
    QLabel* lblDate = nullptr;
    QLabel* lblDateDisp = nullptr;
    QPushButton* cmdReload = nullptr;
    std::array<QListWidget*, 3> lstURLs{};
    QGroupBox* fraKind = nullptr;
    std::array<QRadioButton*, 3> optKind{};
    QLabel* imgEnable = nullptr;
    QLabel* imgUnable = nullptr;
    QPushButton* cmdMove = nullptr;
    QListWidget* lstKinds = nullptr;
    QListWidget* lstSub = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* cmdEditCom = nullptr;
    QPushButton* cmdSave = nullptr;
    ImageButton* cmdPreview = nullptr;
    QLabel* lblMsg = nullptr;
    QTimer* Timer1 = nullptr;

    QMenu* mnFile = nullptr;
    QAction* mnFile_Exit = nullptr;
    QMenu* mn_Option = nullptr;
    QAction* mn_FolderSet = nullptr;
    QAction* mn_ScribbleExec = nullptr;
    QAction* sep = nullptr;
    QAction* mn_NetscapeFolderSet = nullptr;
    QAction* mn_NNExec = nullptr;
    QAction* mn_Help = nullptr;

    // ---- State ----
    QString AppFolder;
    SharedSettings settings;

    // Kept entries, 1-based; element 0 holds none. The arrays only grow.
    QList<QString> KeepURL;
    QList<QString> KeepCom;
    QList<QDateTime> KeepDate;
    int KeepCount = 0;
    // Headers and footers are written back as read: they are held as the file's bytes.
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

    // ---- Procedures ----
    // Keepsake file.
    void ReadKeepsake(const QString& name);
    // "Continue with the next data?" after a scanner failure; true for OK.
    bool AskContinue();
    void lstURLs_Click(int index);
    void optKind_Click(int index);
    int frontList() const;  // the index of the kept-entry list in front

    // Settings.
    QString ReadIniString(const QString& section, const QString& key);
    // Writes `value` under `IniKey` in section `IniSection`; a failure is reported.
    bool WriteIniValue(const QString& IniSection, const QString& IniKey, const QString& value);

    // Category pages.
    void lstKinds_Click();
    bool ReadKindPage(const QString& pageNumberText);
    bool WriteKindPage(const QString& pageNumberText, const QString& title);

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
    void mn_Help_Click();
    // What tells whether the browser runs; made on first use.
    BrowserDetector& browserDetector();

    // Window fitting and resizing.
    void FitWindow();
    DesignLayout& layout() { return *m_layout; }

    Platform platform() const { return m_platform; }
    // Held while a command's box is open or the keepsake file is read: no command starts.
    CommandGuard& commands() { return *m_commands; }

    // Ends the program at once after a fatal error: nothing more is saved.
    void endProgram(int status);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();
    void connectEvents();
    void showMessageBoxError(const QString& path, const QString& reason);

    CommandGuard* m_commands;
    std::unique_ptr<GuardedPrompts> m_guardedPrompts;
    Platform m_platform;
    DesignLayout* m_layout = nullptr;
    bool m_ended = false;
    bool m_unloaded = false;
    bool m_inReadKeepsake = false;
    BrowserDetector* m_browserDetector = nullptr;  // a child object
};
