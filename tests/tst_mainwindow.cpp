// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The main window: its controls, the fitting arithmetic, resizing, hints and menus.
#include "app/DesignLayout.h"
#include "app/ImageButton.h"
#include "app/WindowFitting.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using fitting::TwipRect;

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    void start(WindowFixture& f) {
        f.writeSmallCollection();
        QVERIFY(f.start());
    }

private slots:
    void fittingArithmetic() {
        QCOMPARE(fitting::twipsPerPixel(96), 15.0);
        QCOMPARE(fitting::twipsPerPixel(120), 12.0);
        // At 15 twips per pixel nothing changes size; the window is only centred.
        const TwipRect list{1560, 840, 4215, 1500};
        QCOMPARE(fitting::fitControl(list, 15, 15, false), list);
        auto fit = fitting::fitWindow(6660, 6000, 6540, 5265, 15360, 11520, 15, 15);
        QCOMPARE(fit.width, 6660);
        QCOMPARE(fit.height, 6000);
        QCOMPARE(fit.left, (15360 - 6660) / 2);
        QCOMPARE(fit.top, (11520 - 6000) / 2);
        QCOMPARE(fitting::fitFontSize(9, 15), 9.0);

        // At 12 everything shrinks to 80 %, the frame and a drive list's height excepted.
        QCOMPARE(fitting::fitControl(list, 12, 12, false), (TwipRect{1248, 672, 3372, 1200}));
        QCOMPARE(fitting::fitControl({300, 840, 4275, 300}, 12, 12, true),
                 (TwipRect{240, 672, 3420, 300}));
        fit = fitting::fitWindow(6660, 6000, 6540, 5265, 15360, 11520, 12, 12);
        QCOMPARE(fit.width, 120 + 5232);
        QCOMPARE(fit.height, 735 + 4212);
        QCOMPARE(fit.left, (15360 - fit.width) / 2);
        QCOMPARE(fitting::fitFontSize(9, 12), 7.25);  // 7.2 in quarter points

        // The stretched width, clamped at zero for a very narrow window.
        QCOMPARE(fitting::stretchedWidth(6540, 1560), 4880);
        QCOMPARE(fitting::stretchedWidth(1600, 1560), 0);

        // A whole layout at 12: places, and image fonts untouched.
        QWidget parent;
        auto* a = new QLabel(&parent);
        auto* image = new QLabel(&parent);
        DesignLayout layout;
        layout.add(a, {1000, 500, 1500, 300});
        layout.add(image, {150, 150, 480, 480}, DesignLayout::Image, 9);
        layout.fit(12, 12);
        QCOMPARE(layout.rect(a), (TwipRect{800, 400, 1200, 240}));
        layout.place(12, 12);
        QCOMPARE(a->geometry(), QRect(67, 33, 100, 20));
        QCOMPARE(a->font().pointSizeF(), 7.25);
    }

    void controlsCaptionsAndMenus() {
        WindowFixture f;
        start(f);
        Refile& w = f.window();
        QCOMPARE(w.windowTitle(), QStringLiteral("KEEPSAKE EDITOR"));
        QCOMPARE(ui(w).cmdNew->text(), QStringLiteral("新規項目(&N)"));
        QCOMPARE(ui(w).Command1->text(), QStringLiteral("項目名修正(&M)"));
        QCOMPARE(ui(w).cmdEditCom->text(), QStringLiteral("コメント修正(&E)"));
        QCOMPARE(ui(w).cmdSave->text(), QStringLiteral("リスト書き出し(&W)"));
        QCOMPARE(ui(w).cmdMove->text(), QStringLiteral("↓"));
        QVERIFY(ui(w).cmdMove->font().bold());
        QCOMPARE(ui(w).cmdReload->text(), QStringLiteral("Reload!"));
        QCOMPARE(ui(w).fraKind->title(), QStringLiteral("表示順序"));
        QCOMPARE(ui(w).optKind[0]->text(), QStringLiteral("ＵＲＬ"));
        QVERIFY(ui(w).optKind[0]->isChecked());
        QCOMPARE(ui(w).lblMsg->text(), QStringLiteral("メッセージ"));
        QCOMPARE(ui(w).lblDate->text(), QStringLiteral("取得日付："));
        QVERIFY(ui(w).cmdSend->isHidden());
        QVERIFY(ui(w).cmdPreview->isHidden());
        QVERIFY(ui(w).imgEnable->isHidden());
        QVERIFY(ui(w).lstKinds->selectionMode() == QAbstractItemView::SingleSelection);
        QVERIFY(ui(w).lstURLs[2]->selectionMode() == QAbstractItemView::ExtendedSelection);
        QCOMPARE(w.editor().Timer1->interval(), 500);
        QVERIFY(w.editor().Timer1->isActive());

        QCOMPARE(ui(w).mnFile->title(), QStringLiteral("ファイル(&F)"));
        QCOMPARE(ui(w).mnFile_Exit->text(), QStringLiteral("終了(&X)"));
        QCOMPARE(ui(w).mn_Option->title(), QStringLiteral("オプション(&O)"));
        QCOMPARE(ui(w).mn_Option->actions().size(), 7);
        QVERIFY(ui(w).mn_Option->actions()[2]->isSeparator());
        QVERIFY(ui(w).mn_Option->actions()[5]->isSeparator());
        QCOMPARE(ui(w).mn_Option->actions()[6]->text(), QStringLiteral("整理済みを隠す"));
        QVERIFY(ui(w).mn_Option->actions()[6]->isCheckable());
        // The tools come between the options and the help.
        QStringList bar;
        for (const QAction* top : w.menuBar()->actions())
            bar << top->text();
        QCOMPARE(bar, QStringList({"ファイル(&F)", "オプション(&O)", "ツール(&T)", "ヘルプ(&H)"}));
        const auto* find = w.findChild<QAction*>("mn_Find");
        QCOMPARE(find->text(), QStringLiteral("検索(&F)…"));
        QCOMPARE(find->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
        QCOMPARE(ui(w).mn_ScribbleExec->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_T));
        QCOMPARE(ui(w).mn_NNExec->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
        QVERIFY(!ui(w).mn_NNExec->isEnabled());
        QCOMPARE(ui(w).mn_Help->text(), QStringLiteral("ヘルプ(&H)"));

        // The design places at 15 twips per pixel (the offscreen screen has 96 dpi).
        QCOMPARE(ui(w).lstKinds->geometry(), QRect(12, 188, 93, 100));
        QCOMPARE(ui(w).cmdSave->geometry(), QRect(316, 296, 101, 21));
    }

    void theListsFollowTheWindowsWidth() {
        WindowFixture f;
        start(f);
        Refile& w = f.window();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.resize(600, w.height());
        QTRY_COMPARE(w.centralWidget()->width(), 600);
        const int expected = 600 - 104 - 7;  // less the left edge and 100 twips
        QCOMPARE(ui(w).lstURLs[0]->width(), expected);
        for (QWidget* other :
             {static_cast<QWidget*>(ui(w).lstURLs[1]), static_cast<QWidget*>(ui(w).lstURLs[2]),
              static_cast<QWidget*>(ui(w).lblComDisp), static_cast<QWidget*>(ui(w).lstSub)}) {
            QCOMPARE(other->x(), 104);
            QCOMPARE(other->width(), expected);
        }
        QCOMPARE(ui(w).lstSub->y(), 188);
        QCOMPARE(ui(w).lblDateDisp->height(), 21);

        // Minimised and restored, the widths are as before.
        w.showMinimized();
        QTest::qWait(20);
        w.showNormal();
        QTest::qWait(20);
        QCOMPARE(ui(w).lstURLs[0]->width(), expected);

        // Narrower than the lists' left edge: the widths stop at zero.
        w.setMinimumWidth(0);
        w.resize(60, w.height());
        QTRY_VERIFY(w.centralWidget()->width() <= 104);
        QCOMPARE(ui(w).lstURLs[0]->width(), 0);
        QCOMPARE(ui(w).lstSub->width(), 0);
        w.close();
    }

    void hintsFollowTheMouse() {
        WindowFixture f;
        start(f);
        Refile& w = f.window();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QString kept = QStringLiteral("カテゴリに追加する項目を選択してください。");
        QTest::mouseMove(ui(w).lstURLs[0]->viewport(), QPoint(5, 5));
        QCOMPARE(ui(w).lblMsg->text(), kept);
        // Over a button the hint stays.
        QTest::mouseMove(ui(w).cmdReload, QPoint(3, 3));
        QCOMPARE(ui(w).lblMsg->text(), kept);
        // Over the background it is cleared.
        QTest::mouseMove(w.centralWidget(), QPoint(420, 172));
        QCOMPARE(ui(w).lblMsg->text(), QString());
        QTest::mouseMove(ui(w).lstURLs[0]->viewport(), QPoint(5, 5));
        QTest::mouseMove(ui(w).lstKinds->viewport(), QPoint(5, 5));
        QCOMPARE(ui(w).lblMsg->text(), QString());
        QTest::mousePress(ui(w).lblDateDisp, Qt::LeftButton);
        QCOMPARE(ui(w).lblMsg->text(), QStringLiteral("この項目は表示のみです。"));
        QTest::mouseRelease(ui(w).lblDateDisp, Qt::LeftButton);
        // As the timer shows them while a browser runs.
        ui(w).cmdSend->show();
        ui(w).cmdPreview->show();
        QTest::mouseMove(ui(w).cmdSend, QPoint(2, 2));
        QCOMPARE(ui(w).lblMsg->text(), QStringLiteral("ブラウザへアドレスを転送"));
        QTest::mouseMove(ui(w).cmdPreview, QPoint(2, 2));
        QCOMPARE(ui(w).lblMsg->text(), QStringLiteral("インデックス[ URLINDEX.HTML ]のプレビュー"));

        // A click in the category's list, and loading a page, set and clear it.
        w.editor().lstKinds.setCurrentRow(0);
        w.editor().KindCom.append(QStringLiteral("x"));
        w.editor().lstSub.model().add(static_cast<int>(w.editor().KindCom.size() - 1));
        QTest::mouseClick(ui(w).lstSub->viewport(), Qt::LeftButton, {},
                          ui(w).lstSub->visualRect(ui(w).lstSub->model()->index(0, 0)).center());
        QCOMPARE(ui(w).lblMsg->text(), QStringLiteral("[Del]キーで選択アドレスを削除"));
        w.close();
    }

    void exitClosesAndWritesTheIndex() {
        WindowFixture f;
        start(f);
        Refile& w = f.window();
        w.show();
        QFile::remove(f.appFolder() + "URLINDEX.HTML");
        ui(w).mnFile_Exit->trigger();
        QVERIFY(!w.isVisible());
        QVERIFY(!w.editor().Timer1->isActive());
        QVERIFY(f.exists(f.appFolder() + "URLINDEX.HTML"));
        QVERIFY(f.exists(f.appFolder() + "URLFRAME.HTML"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
