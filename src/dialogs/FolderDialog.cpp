// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "dialogs/FolderDialog.h"

#include "commands/NameRules.h"
#include "platform/FileLookup.h"
#include "platform/Prompts.h"
#include "settings/ProfileFile.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>

#include <dirent.h>

#include <cerrno>
#include <cstring>

namespace {
const QString kCompanionFile = QStringLiteral("Scribble.ini");
const QString kBrowserFile = QStringLiteral("Netscape.exe");
const QString kParent = QStringLiteral("..");
constexpr int kClientWidth = 4920;
constexpr int kClientHeight = 3480;

// The system's reason why the folder's list of names cannot be read, or empty when it can.
// Qt's directory listing reports a folder it may not read as an empty one.
QString listingFailure(const QString& folder) {
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return QString::fromLocal8Bit(std::strerror(errno));
    ::closedir(dir);
    return {};
}

// A folder as the dialog shows it: without its trailing separator, except at the root.
QString shownFolder(const QString& folder) {
    return folder.size() > 1 && folder.endsWith(u'/') ? folder.chopped(1) : folder;
}
}  // namespace

frmFolder::frmFolder(SharedSettings& settings, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_prompts(prompts) {
    setWindowTitle(QStringLiteral("Select Folder"));
    setModal(true);

    cmdOK = new QPushButton(QStringLiteral("連携する"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_layout.add(cmdOK, {300, 3060, 2055, 315});
    cmdCancel = new QPushButton(QStringLiteral("連携しない"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_layout.add(cmdCancel, {2520, 3060, 2055, 315});
    Drive1 = new QComboBox(this);
    Drive1->setObjectName(QStringLiteral("Drive1"));
    Drive1->addItems(driveRoots());
    m_layout.add(Drive1, {300, 840, 4275, 300}, DesignLayout::DriveList);
    Dir1 = new QListWidget(this);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    m_layout.add(Dir1, {300, 1140, 4275, 1500});
    Label1 = new QLabel(QStringLiteral("Label1"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    m_layout.add(Label1, {300, 180, 4275, 180});
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    // The path is read as a field's text: the theme's own text on its field colour, which
    // every theme keeps readable (yellow on grey was not).
    Label2->setAutoFillBackground(true);
    Label2->setFrameShape(QFrame::StyledPanel);
    Label2->setFrameShadow(QFrame::Sunken);
    QPalette pal = Label2->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Base));
    pal.setColor(QPalette::WindowText, pal.color(QPalette::Text));
    Label2->setPalette(pal);
    m_layout.add(Label2, {300, 2640, 4275, 315});

    // Fitted to the screen: places and fonts scaled, the window centred.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double tppX = screen ? fitting::twipsPerPixel(screen->logicalDotsPerInchX()) : 15.0;
    const double tppY = screen ? fitting::twipsPerPixel(screen->logicalDotsPerInchY()) : 15.0;
    m_layout.fit(tppX, tppY);
    m_layout.place(tppX, tppY);
    const auto fit = fitting::fitWindow(kClientWidth, kClientHeight, kClientWidth, kClientHeight, 0,
                                        0, tppX, tppY);
    const QSize client(static_cast<int>(fit.width / tppX), static_cast<int>(fit.height / tppY));
    setFixedSize(client);
    if (screen)
        move(screen->availableGeometry().center() -
             QPoint(client.width() / 2, client.height() / 2));

    m_dirPath = filelookup::folderWithSeparator(QDir::currentPath());
    fillDir1();

    connect(Drive1, &QComboBox::activated, this, [this] { Drive1_Change(); });
    Dir1->installEventFilter(this);
    connect(Dir1, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { openItem(item); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

QStringList frmFolder::driveRoots() {
    QStringList roots{QStringLiteral("/")};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = filelookup::folderWithSeparator(volume.rootPath());
        if (volume.isValid() && volume.isReady() && !roots.contains(root))
            roots << root;
    }
    return roots;
}

void frmFolder::Form_Load() {
    const QString start = startFolder();
    // Only the companion's dialog forgets the folder in hand: it stays empty unless a folder
    // is accepted. The browser's dialog leaves the companion folder alone.
    if (TargetFile == kCompanionFile)
        m_settings.CompanionFolder.clear();
    if (!start.isEmpty()) {
        m_dirPath = start;
        fillDir1();
        showDrive();
    }
    // The path line shows from the start the folder that "連携する" would test.
    Dir1_Change();
}

QString frmFolder::startFolder() const {
    // The folder linked now, or the one stored, when it is still there: choosing again
    // usually means a folder near it. The editor's caller may already have let go of the
    // folder in hand, so the stored one is looked at too.
    QStringList candidates;
    if (TargetFile == kCompanionFile) {
        candidates << m_settings.CompanionFolder
                   << readProfileString(m_settings.IniPath, QStringLiteral("Scribble"),
                                        QStringLiteral("Folder"));
    } else if (TargetFile == kBrowserFile) {
        candidates << m_settings.BrowserFolder
                   << readProfileString(m_settings.IniPath, QStringLiteral("Netscape"),
                                        QStringLiteral("Folder"));
    }
    for (const QString& candidate : candidates) {
        if (candidate.isEmpty() || !QDir::isAbsolutePath(candidate))
            continue;
        const QString folder = filelookup::folderWithSeparator(QDir::cleanPath(candidate));
        if (QDir(folder).exists() && listingFailure(folder).isEmpty())
            return folder;
    }
    return {};
}

void frmFolder::fillDir1() {
    Dir1->clear();
    const QDir dir(m_dirPath);
    if (m_dirPath != QStringLiteral("/"))
        Dir1->addItem(kParent);
    Dir1->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
}

void frmFolder::setDirPath(const QString& path) {
    const QString clean = filelookup::folderWithSeparator(QDir::cleanPath(path));
    if (!QDir(clean).exists())
        return;
    // A folder whose names cannot be read would show only "..", and "連携する" would then call
    // it the wrong folder: say why instead, and stay where the list was.
    if (const QString why = listingFailure(clean); !why.isEmpty()) {
        m_prompts.information(QStringLiteral("[") + shownFolder(clean) + QStringLiteral("]\r\n") +
                                  QStringLiteral("フォルダーを読み込めません。\r\n") + why,
                              kProgramTitle);
        return;
    }
    m_dirPath = clean;
    fillDir1();
    showDrive();
    Dir1_Change();
}

void frmFolder::openItem(QListWidgetItem* item) {
    if (!item)
        return;
    if (item->text() == kParent) {
        QDir dir(m_dirPath);
        dir.cdUp();
        setDirPath(dir.absolutePath());
    } else {
        setDirPath(m_dirPath + item->text());
    }
}

bool frmFolder::eventFilter(QObject* watched, QEvent* event) {
    // Return on a folder opens it, as a double click does. The list would pass the key on to
    // the dialog, whose default button would then link the folder unchosen.
    if (watched == Dir1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openItem(Dir1->currentItem());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmFolder::Dir1_Change() {
    // The folder as the directory list reports it, without a trailing separator except at
    // the root.
    SelectedFolder = shownFolder(m_dirPath);
    showPath();
}

void frmFolder::showPath() {
    // A long path keeps both ends, the drive and the folder's own name; the whole path is in
    // the tip.
    const int room = Label2->contentsRect().width() - 2 * Label2->margin() - 4;
    Label2->setText(Label2->fontMetrics().elidedText(SelectedFolder, Qt::ElideMiddle, room));
    Label2->setToolTip(SelectedFolder);
}

void frmFolder::showDrive() {
    // The drive list names the file system the folder is on.
    const QString root = filelookup::folderWithSeparator(QStorageInfo(m_dirPath).rootPath());
    if (const int index = Drive1->findText(root); index >= 0)
        Drive1->setCurrentIndex(index);
}

void frmFolder::Drive1_Change() {
    setDirPath(Drive1->currentText());
}

void frmFolder::cmdOK_Click() {
    QString* result = nullptr;
    if (TargetFile == kCompanionFile) {
        result = &m_settings.CompanionFolder;
    } else if (TargetFile == kBrowserFile) {
        result = &m_settings.BrowserFolder;
    }
    if (result) {
        if (!SelectedFolder.endsWith(u'/'))
            SelectedFolder += u'/';
        // What the settings file cannot give back unchanged is never stored.
        if (const QString refusal = namerules::folderRefusal(SelectedFolder); !refusal.isEmpty()) {
            m_prompts.information(refusal, kProgramTitle);
            return;
        }
        if (filelookup::findFile(SelectedFolder, TargetFile).isEmpty()) {
            m_prompts.information(QStringLiteral("フォルダーが違います。"), kProgramTitle);
            return;
        }
        *result = SelectedFolder;
    }
    accept();
}

void frmFolder::cmdCancel_Click() {
    if (TargetFile == kCompanionFile)
        m_settings.CompanionFolder.clear();
    reject();
}
