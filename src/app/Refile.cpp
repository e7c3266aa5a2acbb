// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/Refile.h"

#include "app/AccessKeys.h"
#include "app/CommandGuard.h"
#include "app/DesignLayout.h"
#include "app/ImageButton.h"
#include "app/KeepsakeEditor.h"
#include "app/KeyCodes.h"
#include "app/Pictures.h"
#include "integration/HelpWindow.h"
#include "linkcheck/LinkCheckWindow.h"
#include "platform/Prompts.h"
#include "search/SearchWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kCaption = QStringLiteral("KEEPSAKE EDITOR");
const QString kHintKeptLists = QStringLiteral("カテゴリに追加する項目を選択してください。");
const QString kHintSend = QStringLiteral("ブラウザへアドレスを転送");
const QString kHintPreview = QStringLiteral("インデックス[ URLINDEX.HTML ]のプレビュー");
const QString kHintDisplayOnly = QStringLiteral("この項目は表示のみです。");
const QString kHintDelete = QStringLiteral("[Del]キーで選択アドレスを削除");

// Design size of the client area, in twips.
constexpr int kClientWidth = 6540;
constexpr int kClientHeight = 5265;

bool isCtrlSpace(const QKeyEvent* key) {
    return key->key() == Qt::Key_Space &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

QFont gothic() {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setPointSizeF(9.0);
    return font;
}

QFont boldGothic() {
    QFont font = gothic();
    font.setBold(true);
    return font;
}

}  // namespace

Refile::Refile(Platform platform, QWidget* parent)
    : QMainWindow(parent),
      m_editor(new KeepsakeEditor(platform, this)),
      m_commands(new CommandGuard(this, m_editor->commands())),
      m_layout(new DesignLayout) {
    setWindowTitle(kCaption);
    setFont(gothic());
    setWindowIcon(QIcon(pictures::windowIcon()));
    createControls();
    createMenus();
    connectEvents();
    showState();
}

Refile::~Refile() {
    // The guard filters every event of the program: it goes before the editor it asks.
    delete m_commands;
    m_commands = nullptr;
    delete m_layout;
}

void Refile::createControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setMouseTracking(true);
    client->installEventFilter(this);
    setCentralWidget(client);
    setMouseTracking(true);
    DesignLayout& l = *m_layout;

    auto label = [&](const QString& name, const QString& text, fitting::TwipRect r) {
        auto* w = new QLabel(text, client);
        w->setObjectName(name);
        l.add(w, r);
        return w;
    };
    auto display = [&](const QString& name, fitting::TwipRect r) {
        QLabel* w = label(name, QString(), r);
        w->setAutoFillBackground(true);
        QPalette pal = w->palette();
        pal.setColor(QPalette::Window, Qt::white);
        pal.setColor(QPalette::WindowText, Qt::black);
        w->setPalette(pal);
        w->setFrameShape(QFrame::Panel);
        w->setFrameShadow(QFrame::Sunken);
        w->installEventFilter(this);
        return w;
    };
    auto button = [&](const QString& name, const QString& text, fitting::TwipRect r) {
        auto* w = new QPushButton(text, client);
        w->setObjectName(name);
        l.add(w, r);
        return w;
    };
    auto list = [&](const QString& name, const ListRows& rows, fitting::TwipRect r, bool extended) {
        auto* w = new QListView(client);
        w->setObjectName(name);
        w->setModel(rows.selection()->model());
        QItemSelectionModel* own = w->selectionModel();
        w->setSelectionModel(rows.selection());
        delete own;
        w->setSelectionMode(extended ? QAbstractItemView::ExtendedSelection
                                     : QAbstractItemView::SingleSelection);
        w->setMouseTracking(true);
        w->viewport()->setMouseTracking(true);
        w->viewport()->installEventFilter(this);
        w->installEventFilter(this);
        w->setUniformItemSizes(true);
        l.add(w, r);
        return w;
    };

    cmdSend = new ImageButton(client);
    cmdSend->setObjectName(QStringLiteral("cmdSend"));
    cmdSend->installEventFilter(this);
    l.add(cmdSend, {180, 180, 480, 480}, DesignLayout::Image);
    cmdSend->hide();

    lblCom = label(QStringLiteral("lblCom"), QStringLiteral("コメント："), {780, 180, 735, 180});
    lblComDisp = display(QStringLiteral("lblComDisp"), {1560, 120, 4695, 315});
    lblDate = label(QStringLiteral("lblDate"), QStringLiteral("取得日付："), {660, 540, 870, 180});
    lblDateDisp = display(QStringLiteral("lblDateDisp"), {1560, 480, 4695, 315});
    cmdReload =
        button(QStringLiteral("cmdReload"), QStringLiteral("Reload!"), {180, 840, 1155, 255});

    const KeepsakeEditor& e = *m_editor;
    lstURLs[0] = list(QStringLiteral("lstURLs0"), e.lstURLs[0], {1560, 840, 4215, 1500}, true);
    lstURLs[1] = list(QStringLiteral("lstURLs1"), e.lstURLs[1], {2220, 840, 3795, 1500}, true);
    lstURLs[2] = list(QStringLiteral("lstURLs2"), e.lstURLs[2], {3120, 840, 3135, 1500}, true);

    fraKind = new QGroupBox(QStringLiteral("表示順序"), client);
    fraKind->setObjectName(QStringLiteral("fraKind"));
    l.add(fraKind, {180, 1140, 1155, 1215});
    const QStringList optCaptions = {QStringLiteral("ＵＲＬ"), QStringLiteral("コメント"),
                                     QStringLiteral("なし")};
    const fitting::TwipRect optRects[3] = {
        {120, 300, 975, 255}, {120, 600, 915, 255}, {120, 900, 915, 255}};
    for (int i = 0; i < 3; ++i) {
        optKind[i] = new QRadioButton(optCaptions[i], fraKind);
        optKind[i]->setObjectName(QStringLiteral("optKind%1").arg(i));
        l.add(optKind[i], optRects[i]);
    }
    optKind[0]->setChecked(true);

    imgEnable = new QLabel(client);
    imgEnable->setObjectName(QStringLiteral("imgEnable"));
    imgEnable->setPixmap(pictures::sendEnabled());
    l.add(imgEnable, {1080, 1320, 480, 480}, DesignLayout::Image);
    imgEnable->hide();
    imgUnable = new QLabel(client);
    imgUnable->setObjectName(QStringLiteral("imgUnable"));
    imgUnable->setPixmap(pictures::sendDisabled());
    l.add(imgUnable, {1080, 1800, 480, 480}, DesignLayout::Image);
    imgUnable->hide();

    cmdMove = button(QStringLiteral("cmdMove"), QStringLiteral("↓"), {1620, 2400, 675, 375});
    cmdMove->setFont(boldGothic());
    lstKinds = list(QStringLiteral("lstKinds"), e.lstKinds, {180, 2820, 1395, 1500}, false);
    lstSub = list(QStringLiteral("lstSub"), e.lstSub, {1560, 2820, 4695, 1500}, false);

    cmdNew =
        button(QStringLiteral("cmdNew"), QStringLiteral("新規項目(&N)"), {180, 4440, 1275, 315});
    Command1 = button(QStringLiteral("Command1"), QStringLiteral("項目名修正(&M)"),
                      {1500, 4440, 1455, 315});
    cmdEditCom = button(QStringLiteral("cmdEditCom"), QStringLiteral("コメント修正(&E)"),
                        {3180, 4440, 1515, 315});
    cmdSave = button(QStringLiteral("cmdSave"), QStringLiteral("リスト書き出し(&W)"),
                     {4740, 4440, 1515, 315});

    cmdPreview = new ImageButton(client);
    cmdPreview->setObjectName(QStringLiteral("cmdPreview"));
    cmdPreview->setPixmap(pictures::preview());
    cmdPreview->installEventFilter(this);
    l.add(cmdPreview, {180, 4800, 360, 360}, DesignLayout::Image);
    cmdPreview->hide();

    lblMsg = label(QStringLiteral("lblMsg"), QStringLiteral("メッセージ"), {660, 4860, 5595, 315});
    lblMsg->setFont(boldGothic());
    lblMsg->setAutoFillBackground(true);
    {
        QPalette pal = lblMsg->palette();
        pal.setColor(QPalette::Window, QColor(64, 64, 64));
        pal.setColor(QPalette::WindowText, Qt::yellow);
        lblMsg->setPalette(pal);
    }

    // Filed kept entries, and an address twice in the page, are shown dimmed.
    const QVariant dimmed = palette().color(QPalette::Disabled, QPalette::Text);
    for (auto& rows : m_editor->lstURLs)
        rows.model().setDimmedForeground(dimmed);
    m_editor->lstSub.model().setDimmedForeground(dimmed);

    // The bold controls keep their own font; the layout scales it with the rest.
    m_layout->setScreenScale(15.0, 15.0);
    m_layout->place(15.0, 15.0);
    cmdMove->setFont(boldGothic());
    lblMsg->setFont(boldGothic());
    resize(kClientWidth / 15, kClientHeight / 15 + menuBar()->sizeHint().height());
}

void Refile::createMenus() {
    mnFile = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    mnFile_Exit = mnFile->addAction(QStringLiteral("終了(&X)"));
    mn_Option = menuBar()->addMenu(QStringLiteral("オプション(&O)"));
    mn_FolderSet = mn_Option->addAction(QStringLiteral("Scribbleのフォルダ指定"));
    mn_ScribbleExec = mn_Option->addAction(QStringLiteral("Scribble起動"));
    mn_ScribbleExec->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    mn_ScribbleExec->setEnabled(false);
    sep = mn_Option->addSeparator();
    mn_NetscapeFolderSet = mn_Option->addAction(QStringLiteral("Netscapeのフォルダ指定"));
    mn_NNExec = mn_Option->addAction(QStringLiteral("Netscape起動"));
    mn_NNExec->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    mn_NNExec->setEnabled(false);
    mn_Option->addSeparator();
    mn_HideFiled = mn_Option->addAction(QStringLiteral("整理済みを隠す"));
    mn_HideFiled->setCheckable(true);
    // The tools that work on the whole collection.
    mn_Tools = menuBar()->addMenu(QStringLiteral("ツール(&T)"));
    mn_Find = mn_Tools->addAction(QStringLiteral("検索(&F)…"));
    mn_Find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    mn_LinkCheck = mn_Tools->addAction(QStringLiteral("リンク検査(&L)…"));
    mn_ExportBookmarks = mn_Tools->addAction(QStringLiteral("ブックマークの書き出し(&X)…"));
    mn_ImportBookmarks = mn_Tools->addAction(QStringLiteral("ブックマークの読み込み(&I)…"));
    mn_Help = menuBar()->addAction(QStringLiteral("ヘルプ(&H)"));

    // Named like the controls, so that what shows the window can find them.
    mnFile->setObjectName(QStringLiteral("mnFile"));
    mnFile_Exit->setObjectName(QStringLiteral("mnFile_Exit"));
    mn_Option->setObjectName(QStringLiteral("mn_Option"));
    mn_FolderSet->setObjectName(QStringLiteral("mn_FolderSet"));
    mn_ScribbleExec->setObjectName(QStringLiteral("mn_ScribbleExec"));
    sep->setObjectName(QStringLiteral("sep"));
    mn_NetscapeFolderSet->setObjectName(QStringLiteral("mn_NetscapeFolderSet"));
    mn_NNExec->setObjectName(QStringLiteral("mn_NNExec"));
    mn_HideFiled->setObjectName(QStringLiteral("mn_HideFiled"));
    mn_Tools->setObjectName(QStringLiteral("mn_Tools"));
    mn_Find->setObjectName(QStringLiteral("mn_Find"));
    mn_LinkCheck->setObjectName(QStringLiteral("mn_LinkCheck"));
    mn_ExportBookmarks->setObjectName(QStringLiteral("mn_ExportBookmarks"));
    mn_ImportBookmarks->setObjectName(QStringLiteral("mn_ImportBookmarks"));
    mn_Help->setObjectName(QStringLiteral("mn_Help"));
}

void Refile::connectEvents() {
    KeepsakeEditor* e = m_editor;
    connect(mnFile_Exit, &QAction::triggered, this, [this] { close(); });
    connect(cmdReload, &QPushButton::clicked, e,
            [e] { e->ReadKeepsake(QStringLiteral("KEEPSAKE.HTML")); });
    for (int i = 0; i < 3; ++i) {
        connect(lstURLs[i], &QListView::clicked, e, [e, i] { e->lstURLs_Click(i); });
        connect(optKind[i], &QRadioButton::clicked, e, [e, i] { e->optKind_Click(i); });
    }
    connect(lstSub, &QListView::clicked, this, [this] { lblMsg->setText(kHintDelete); });
    // The hint follows a selection made with the keyboard as well.
    connect(lstSub->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (lstSub->hasFocus() && lstSub->selectionModel()->hasSelection())
            lblMsg->setText(kHintDelete);
    });
    connect(cmdNew, &QPushButton::clicked, e, [e] { e->cmdNew_Click(); });
    connect(Command1, &QPushButton::clicked, e, [e] { e->Command1_Click(); });
    connect(cmdEditCom, &QPushButton::clicked, e, [e] { e->cmdEditCom_Click(); });
    connect(cmdSave, &QPushButton::clicked, e, [e] { e->cmdSave_Click(); });
    connect(cmdMove, &QPushButton::clicked, e, [e] { e->cmdMove_Click(); });
    connect(cmdSend, &ImageButton::clicked, e, [e] { e->cmdSend_Click(); });
    connect(cmdPreview, &ImageButton::clicked, e, [e] { e->cmdPreview_Click(); });
    connect(mn_FolderSet, &QAction::triggered, e, [e] { e->mn_FolderSet_Click(); });
    connect(mn_NetscapeFolderSet, &QAction::triggered, e, [e] { e->mn_NetscapeFolderSet_Click(); });
    connect(mn_NNExec, &QAction::triggered, e, [e] { e->mn_NNExec_Click(); });
    connect(mn_ScribbleExec, &QAction::triggered, e, [e] { e->mn_ScribbleExec_Click(); });
    connect(mn_Option, &QMenu::aboutToShow, e, [e] { e->mn_Option_Click(); });
    connect(mn_Help, &QAction::triggered, this, [this] { mn_Help_Click(); });
    connect(mn_HideFiled, &QAction::triggered, e, [e](bool hide) { e->mn_HideFiled_Click(hide); });
    connect(mn_Find, &QAction::triggered, this, [this] { mn_Find_Click(); });
    connect(mn_LinkCheck, &QAction::triggered, this, [this] { mn_LinkCheck_Click(); });
    connect(mn_ExportBookmarks, &QAction::triggered, this, [this] { mn_ExportBookmarks_Click(); });
    connect(mn_ImportBookmarks, &QAction::triggered, this, [this] { mn_ImportBookmarks_Click(); });

    connect(e, &KeepsakeEditor::displayChanged, this, &Refile::showState);
    connect(e, &KeepsakeEditor::message, this, &Refile::showHint);
    connect(e, &KeepsakeEditor::ended, this, &QWidget::hide);

    for (QObject* source : std::initializer_list<QObject*>{
             cmdReload, cmdNew, Command1, cmdEditCom, cmdSave, cmdMove, cmdSend, cmdPreview,
             mnFile_Exit, mn_FolderSet, mn_ScribbleExec, mn_NetscapeFolderSet, mn_NNExec, mn_Help,
             mn_HideFiled, mn_Find, mn_LinkCheck, mn_ExportBookmarks, mn_ImportBookmarks}) {
        m_commands->addSource(source);
    }

    using accesskeys::addKanaShortcut;
    addKanaShortcut(this, u'ﾐ', [this] { cmdNew->click(); });
    addKanaShortcut(this, u'ﾓ', [this] { Command1->click(); });
    addKanaShortcut(this, u'ｲ', [this] { cmdEditCom->click(); });
    addKanaShortcut(this, u'ｵ', [this] { cmdSave->click(); });
    // W of a kana keyboard.
    addKanaShortcut(this, u'ﾃ', [this] { cmdSave->click(); });
    addKanaShortcut(this, u'ﾊ', [this] { menuBar()->setActiveAction(mnFile->menuAction()); });
    addKanaShortcut(this, u'ﾗ', [this] { menuBar()->setActiveAction(mn_Option->menuAction()); });
    addKanaShortcut(this, u'ｸ', [this] { mn_Help->trigger(); });
    addKanaShortcut(this, u'ｶ', [this] { menuBar()->setActiveAction(mn_Tools->menuAction()); });
    accesskeys::addKanaMenuKey(mnFile, u'ｻ', Qt::Key_X);
    accesskeys::addKanaMenuKey(mn_Tools, u'ﾊ', Qt::Key_F);
    accesskeys::addKanaMenuKey(mn_Tools, u'ﾘ', Qt::Key_L);
    accesskeys::addKanaMenuKey(mn_Tools, u'ｻ', Qt::Key_X);
    accesskeys::addKanaMenuKey(mn_Tools, u'ﾆ', Qt::Key_I);
}

bool Refile::Load(const QString& appFolder) {
    FitWindow();
    return m_editor->Load(appFolder);
}

bool Refile::hasEnded() const {
    return m_editor->hasEnded();
}

void Refile::showState() {
    const KeepsakeEditor& e = *m_editor;
    lblCom->setText(e.ComCaption);
    lblComDisp->setText(e.ComDisplay);
    lblDateDisp->setText(e.DateDisplay);
    const int front = e.FrontList;
    if (front != m_shownFront) {
        m_shownFront = front;
        optKind[front]->setChecked(true);
        cmdSend->setPixmap(front == 1 ? imgEnable->pixmap() : imgUnable->pixmap());
        cmdSend->setEnabled(front == 1);
        for (int i = 0; i < 3; ++i)
            lstURLs[i]->setVisible(i == front);
        lstURLs[front]->raise();
    }
    cmdSend->setVisible(e.BrowserSeen);
    cmdPreview->setVisible(e.BrowserSeen);
    mn_NNExec->setEnabled(e.NNExecEnabled);
    mn_ScribbleExec->setEnabled(e.ScribbleExecEnabled);
    mn_HideFiled->setChecked(e.HideFiled);
}

// An empty hint leaves the line to the notice that the keepsake file has changed, so the notice
// comes back after every hint until the file is read again.
void Refile::showHint(const QString& text) {
    lblMsg->setText(text.isEmpty() ? m_editor->KeepsakeNotice : text);
}

void Refile::mn_Help_Click() {
    // The editor's own manual, in a window beside it; no help file or viewer is needed.
    auto* help = findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!help)
        help = new HelpWindow(this);
    help->showContents();
}

void Refile::mn_Find_Click() {
    auto* find = findChild<SearchWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!find)
        find = new SearchWindow(*m_editor, this);
    find->showFind();
}

void Refile::mn_LinkCheck_Click() {
    auto* check = findChild<LinkCheckWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!check)
        check = new LinkCheckWindow(*m_editor, this);
    check->showWindow();
}

void Refile::closeEvent(QCloseEvent* event) {
    if (!m_editor->QueryUnload()) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_editor->Unload())
        QCoreApplication::quit();
}

bool Refile::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove) {
        if (watched == centralWidget()) {
            // Moves over child controls also arrive here when the child ignores them; only
            // the background itself clears the hint.
            const auto* move = static_cast<QMouseEvent*>(event);
            if (!centralWidget()->childAt(move->position().toPoint()))
                showHint(QString());
        } else if (watched == lstKinds->viewport()) {
            showHint(QString());
        } else if (watched == lstURLs[0]->viewport() || watched == lstURLs[1]->viewport() ||
                   watched == lstURLs[2]->viewport()) {
            lblMsg->setText(kHintKeptLists);
        } else if (watched == cmdSend) {
            lblMsg->setText(kHintSend);
        } else if (watched == cmdPreview) {
            lblMsg->setText(kHintPreview);
        }
    } else if (type == QEvent::MouseButtonPress) {
        if (watched == lblComDisp || watched == lblDateDisp)
            lblMsg->setText(kHintDisplayOnly);
    } else if (type == QEvent::KeyPress && isCtrlSpace(static_cast<QKeyEvent*>(event)) &&
               (watched == lstSub || watched == lstKinds || watched == lstURLs[0] ||
                watched == lstURLs[1] || watched == lstURLs[2])) {
        // Ctrl+Space turns the input method on; the list would toggle its current entry with
        // it and leave nothing selected for the command the user is about to give.
        return true;
    } else if (type == QEvent::KeyRelease && watched == lstSub) {
        // A held key sends a release with every repeat; only the last one counts.
        const auto* key = static_cast<QKeyEvent*>(event);
        int keyCode = keycodes::virtualKey(key->key(), key->modifiers());
        if (keyCode != 0 && !key->isAutoRepeat() && !m_editor->commands().busy()) {
            m_editor->lstSub_KeyUp(keyCode, key->modifiers());
            if (keyCode == 0)
                return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
