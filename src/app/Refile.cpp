#include "app/Refile.h"

#include "app/AccessKeys.h"
#include "app/CommandGuard.h"
#include "app/DesignLayout.h"
#include "app/ImageButton.h"
#include "app/KeyCodes.h"
#include "app/Pictures.h"
#include "pages/KindSelection.h"
#include "platform/FileLookup.h"
#include "platform/Prompts.h"
#include "platform/WindowList.h"
#include "settings/FoundFiles.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

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
      m_commands(new CommandGuard(this)),
      m_guardedPrompts(std::make_unique<GuardedPrompts>(platform.prompts, *m_commands)),
      m_platform{*m_guardedPrompts, platform.windows, platform.launcher},
      m_layout(new DesignLayout) {
    setWindowTitle(kCaption);
    setFont(gothic());
    setWindowIcon(QIcon(pictures::windowIcon()));
    createControls();
    createMenus();
    connectEvents();
    KeepURL.resize(1);
    KeepCom.resize(1);
    KeepDate.resize(1);
    KindURL.resize(1);
    KindCom.resize(1);
    KindDate.resize(1);
}

Refile::~Refile() {
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
    auto list = [&](const QString& name, fitting::TwipRect r, bool extended) {
        auto* w = new QListWidget(client);
        w->setObjectName(name);
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

    lstURLs[0] = list(QStringLiteral("lstURLs0"), {1560, 840, 4215, 1500}, true);
    lstURLs[1] = list(QStringLiteral("lstURLs1"), {2220, 840, 3795, 1500}, true);
    lstURLs[2] = list(QStringLiteral("lstURLs2"), {3120, 840, 3135, 1500}, true);

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
    lstKinds = list(QStringLiteral("lstKinds"), {180, 2820, 1395, 1500}, false);
    lstSub = list(QStringLiteral("lstSub"), {1560, 2820, 4695, 1500}, false);

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

    Timer1 = new QTimer(this);
    Timer1->setInterval(500);

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
    mn_Help = menuBar()->addAction(QStringLiteral("ヘルプ(&H)"));
}

void Refile::connectEvents() {
    connect(mnFile_Exit, &QAction::triggered, this, [this] { close(); });
    connect(cmdReload, &QPushButton::clicked, this,
            [this] { ReadKeepsake(QStringLiteral("KEEPSAKE.HTML")); });
    for (int i = 0; i < 3; ++i) {
        connect(lstURLs[i], &QListWidget::itemClicked, this, [this, i] { lstURLs_Click(i); });
        connect(lstURLs[i], &QListWidget::currentRowChanged, this, [this, i](int row) {
            if (row >= 0)
                lstURLs_Click(i);
        });
        connect(optKind[i], &QRadioButton::clicked, this, [this, i] { optKind_Click(i); });
    }
    // A category loads when the user selects one, never because the list got the focus.
    connect(lstKinds, &QListWidget::itemSelectionChanged, this, [this] {
        if (selectedKindRow(lstKinds) >= 0)
            lstKinds_Click();
    });
    connect(lstSub, &QListWidget::itemClicked, this, [this] { lblMsg->setText(kHintDelete); });
    // The hint follows a selection made with the keyboard as well.
    connect(lstSub, &QListWidget::itemSelectionChanged, this, [this] {
        if (lstSub->hasFocus() && !lstSub->selectedItems().isEmpty())
            lblMsg->setText(kHintDelete);
    });
    connect(cmdNew, &QPushButton::clicked, this, [this] { cmdNew_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(cmdEditCom, &QPushButton::clicked, this, [this] { cmdEditCom_Click(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(cmdMove, &QPushButton::clicked, this, [this] { cmdMove_Click(); });
    connect(cmdSend, &ImageButton::clicked, this, [this] { cmdSend_Click(); });
    connect(cmdPreview, &ImageButton::clicked, this, [this] { cmdPreview_Click(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(mn_FolderSet, &QAction::triggered, this, [this] { mn_FolderSet_Click(); });
    connect(mn_NetscapeFolderSet, &QAction::triggered, this,
            [this] { mn_NetscapeFolderSet_Click(); });
    connect(mn_NNExec, &QAction::triggered, this, [this] { mn_NNExec_Click(); });
    connect(mn_ScribbleExec, &QAction::triggered, this, [this] { mn_ScribbleExec_Click(); });
    connect(mn_Option, &QMenu::aboutToShow, this, [this] { mn_Option_Click(); });
    connect(mn_Help, &QAction::triggered, this, [this] { mn_Help_Click(); });

    for (QObject* source : std::initializer_list<QObject*>{
             cmdReload, cmdNew, Command1, cmdEditCom, cmdSave, cmdMove, cmdSend, cmdPreview,
             mnFile_Exit, mn_FolderSet, mn_ScribbleExec, mn_NetscapeFolderSet, mn_NNExec,
             mn_Help}) {
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
    accesskeys::addKanaMenuKey(mnFile, u'ｻ', Qt::Key_X);
}

bool Refile::Load(const QString& appFolder) {
    FitWindow();
    // AppFolder with exactly one trailing separator; the settings file lies beside it.
    AppFolder = appFolder;
    if (!AppFolder.endsWith(u'/'))
        AppFolder += u'/';
    settings.CompanionFolder = AppFolder;
    settings.IniPath = foundfiles::settingsFile(AppFolder);

    CompanionLinked = LinkCompanion(true);
    mn_ScribbleExec->setEnabled(CompanionLinked &&
                                !m_platform.windows.hasWindowTitled(QStringLiteral("Scribble")));

    ReadKeepsake(QStringLiteral("KEEPSAKE.HTML"));
    if (m_ended)
        return false;

    bool ok = false;
    ReadIndexPage(IndexHead, IndexFoot, ok);
    if (!ok)
        m_platform.prompts.information(QStringLiteral("[URL_INDEX.HTML]を再構築しました。"));

    settings.BrowserFolder = ReadIniString(QStringLiteral("Netscape"), QStringLiteral("Folder"));
    Timer1->start();
    return true;
}

void Refile::endProgram(int status) {
    m_ended = true;
    Timer1->stop();
    hide();
    QCoreApplication::exit(status);
}

void Refile::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_ended || m_unloaded)
        return;
    m_unloaded = true;
    Timer1->stop();
    WriteIndexPages();
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
                lblMsg->clear();
        } else if (watched == lstKinds->viewport()) {
            lblMsg->clear();
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
    } else if (type == QEvent::KeyRelease && watched == lstSub) {
        // A held key sends a release with every repeat; only the last one counts.
        const auto* key = static_cast<QKeyEvent*>(event);
        int keyCode = keycodes::virtualKey(key->key(), key->modifiers());
        if (keyCode != 0 && !key->isAutoRepeat() && !m_commands->busy()) {
            lstSub_KeyUp(keyCode, key->modifiers());
            if (keyCode == 0)
                return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
