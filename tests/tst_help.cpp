// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The help: the editor's own manual, opened at its contents in a window that leaves the
// editor usable, read through the text it shows. Where it opens is seen on an X server of the
// test's own with a full-HD screen, at 1x and 2x scale.
#include "integration/HelpWindow.h"
#include "support/PrivateXServer.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>

namespace {

QString pageText(const QString& resource) {
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// A control's caption as the help names it: without its access key.
QString caption(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)$")));
    return text.remove(u'&');
}

// Set in the program that the placement test starts on its own X server.
const char kPlacementRun[] = "KEEPSAKE_HELP_PLACEMENT";

// A blank between two Japanese characters, or after a Japanese comma or full stop: what a line
// break inside a Japanese sentence of a page's source shows as.
const QRegularExpression kStrayBlank(
    QStringLiteral("[\\x{3000}-\\x{30FF}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}][ \\t]+"
                   "[\\x{3000}-\\x{30FF}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]|[、。][ "
                   "\\t]+[^\\s\\x{2028}\\x{2029}]"));

}  // namespace

// Run by the placement test in a program of its own, on the test's X server at the scale it
// asks for.
class HelpPlacement : public QObject {
    Q_OBJECT

private slots:
    void besideTheEditorAndOnTheScreen() {
        WindowFixture f;
        f.writeSmallCollection();
        QVERIFY(f.start());
        Refile& w = f.window();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QScreen* screen = w.screen();
        QCOMPARE(screen->devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
        QCOMPARE(screen->geometry().size() * screen->devicePixelRatio(), QSize(1920, 1080));

        ui(w).mn_Help->trigger();
        auto* help = w.findChild<HelpWindow*>();
        QVERIFY(help);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        const QRect room = screen->availableGeometry();
        const QString where = QStringLiteral("help %1,%2 %3x%4, editor %5,%6 %7x%8, screen %9x%10")
                                  .arg(help->frameGeometry().x())
                                  .arg(help->frameGeometry().y())
                                  .arg(help->frameGeometry().width())
                                  .arg(help->frameGeometry().height())
                                  .arg(w.frameGeometry().x())
                                  .arg(w.frameGeometry().y())
                                  .arg(w.frameGeometry().width())
                                  .arg(w.frameGeometry().height())
                                  .arg(room.width())
                                  .arg(room.height());
        QVERIFY2(room.contains(help->frameGeometry()), qPrintable(where));
        QVERIFY2(!help->frameGeometry().intersects(w.frameGeometry()), qPrintable(where));
        QVERIFY2(help->width() >= 240, qPrintable(where));
        // Where there is room, the help has its full size.
        if (screen->devicePixelRatio() == 1.0)
            QVERIFY2(help->size() == QSize(640, 600), qPrintable(where));
        f.close();
    }
};

class HelpTest : public QObject {
    Q_OBJECT

private slots:
    void opensBesideTheEditorOnTheScreen_data() {
        QTest::addColumn<QString>("scale");
        QTest::newRow("1x") << "1";
        QTest::newRow("2x") << "2";
    }

    void opensBesideTheEditorOnTheScreen() {
        QFETCH(QString, scale);
        // A server of its own: a full-HD screen, on a display number the server picks free.
        PrivateXServer server(QSize(1920, 1080));
        if (server.display().isEmpty())
            QFAIL("Xvfb cannot be started: this test needs it (Debian package xvfb)");

        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", QString::fromLatin1(server.display()));
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("QT_SCALE_FACTOR", scale);
        env.insert(kPlacementRun, "1");
        run.setProcessEnvironment(env);
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(QCoreApplication::applicationFilePath(), {});
        const bool finished = run.waitForFinished(120000);
        const QByteArray output = run.readAll();
        QVERIFY2(finished, output.constData());
        QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0,
                 output.constData());
    }

    void opensAtItsContentsBesideTheEditor() {
        WindowFixture f;
        f.writeSmallCollection();
        QVERIFY(f.start());
        Refile& w = f.window();
        w.show();

        ui(w).mn_Help->trigger();
        auto* help = w.findChild<HelpWindow*>();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(help->isWindow());
        QVERIFY(!help->isModal());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(help->windowTitle(), QStringLiteral("KEEPSAKE EDITOR ヘルプ"));
        QCOMPARE(help->browser()->source(), HelpWindow::contentsPage());
        const QString contents = help->browser()->toPlainText();
        QVERIFY2(contents.contains(QStringLiteral("目次")), qPrintable(contents));
        // No help file is looked for, and no other program is asked to show one.
        QVERIFY(f.launcher.documents.isEmpty());
        QVERIFY(f.launcher.starts.isEmpty());
        QVERIFY(f.prompts.shown().isEmpty());

        // Reading on, back, and the contents again.
        help->browser()->setSource(QUrl(QStringLiteral("qrc:/help/files.html")));
        QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("KEEPSAKE.INI")));
        auto* back = help->findChildren<QToolButton*>().at(1);
        QCOMPARE(back->text(), QStringLiteral("戻る"));
        QVERIFY(back->isEnabled());
        back->click();
        QCOMPARE(help->browser()->source(), HelpWindow::contentsPage());
        help->browser()->setSource(QUrl(QStringLiteral("qrc:/help/window.html#menus")));

        // Every command goes on working while the help is open.
        w.editor().lstKinds.setCurrentRow(0);
        QVERIFY(w.editor().KindLoadedOnce);
        w.editor().lstURLs[0].select(0);
        ui(w).cmdMove->click();
        QCOMPARE(w.editor().lstSub.count(), 1);
        f.prompts.answerInput(QStringLiteral("Travel"));
        ui(w).cmdNew->click();
        QCOMPARE(itemTexts(w.editor().lstKinds), QStringList({"Music", "Travel"}));
        ui(w).cmdSave->click();
        QVERIFY(f.exists(f.appFolder() + "URL_0000.html"));
        QVERIFY(help->isVisible());

        // Asked again: the same window, back at its contents.
        ui(w).mn_Help->trigger();
        QCOMPARE(w.findChildren<HelpWindow*>().size(), 1);
        QCOMPARE(help->browser()->source(), HelpWindow::contentsPage());

        // It goes with the editor.
        f.close();
    }

    // Every page is reached from the contents, every link leads to a page and a section that
    // exist, and every control and menu item of the window is explained somewhere.
    void linksLeadSomewhereAndEveryControlIsExplained() {
        const QStringList pages = QDir(QStringLiteral(":/help")).entryList({"*.html"});
        QVERIFY(pages.size() >= 5);
        const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
        QSet<QString> reached{QStringLiteral("index.html")};
        QStringList queue{QStringLiteral("index.html")};
        QString allText;
        while (!queue.isEmpty()) {
            const QString page = queue.takeFirst();
            const QString html = pageText(":/help/" + page);
            QVERIFY2(!html.isEmpty(), qPrintable(page));
            QTextBrowser reader;
            reader.setSource(QUrl("qrc:/help/" + page));
            // The raw text keeps the no-break spaces a page means to show.
            const QRegularExpressionMatch blank = kStrayBlank.match(reader.document()->toRawText());
            QVERIFY2(!blank.hasMatch(),
                     qPrintable(page + ": \"" + blank.captured() + "\" " +
                                QString::fromLatin1(blank.captured().toUtf8().toHex(' '))));
            allText += reader.toPlainText();
            for (const QRegularExpressionMatch& m : href.globalMatch(html)) {
                const QUrl target = QUrl("qrc:/help/" + page).resolved(QUrl(m.captured(1)));
                const QString file = target.path().section(u'/', -1);
                QVERIFY2(pages.contains(file), qPrintable(page + " -> " + m.captured(1)));
                if (target.hasFragment()) {
                    QVERIFY2(
                        pageText(":/help/" + file).contains("name=\"" + target.fragment() + "\""),
                        qPrintable(page + " -> " + m.captured(1)));
                }
                if (!reached.contains(file)) {
                    reached.insert(file);
                    queue.append(file);
                }
            }
        }
        QCOMPARE(QSet<QString>(pages.cbegin(), pages.cend()), reached);

        WindowFixture f;
        f.writeSmallCollection();
        QVERIFY(f.start());
        Refile& w = f.window();
        QStringList captions;
        for (const QPushButton* button : w.findChildren<QPushButton*>())
            captions << caption(button->text());
        for (const QRadioButton* option : ui(w).optKind)
            captions << option->text();
        for (const QAction* action : {ui(w).mnFile_Exit, ui(w).mn_FolderSet, ui(w).mn_ScribbleExec,
                                      ui(w).mn_NetscapeFolderSet, ui(w).mn_NNExec, ui(w).mn_Help})
            captions << caption(action->text());
        captions << caption(ui(w).mnFile->title()) << caption(ui(w).mn_Option->title())
                 << ui(w).lblCom->text() << ui(w).lblDate->text();
        captions << "KEEPSAKE.HTML"
                 << "KEEPSAKE.TMP"
                 << "KEEPSAKE.INI"
                 << "URLINDEX.HTML"
                 << "URLFRAME.HTML"
                 << "URL_0000.HTML"
                 << "Scribble.ini"
                 << "Netscape.exe"
                 << "連携する"
                 << "連携しない";
        for (const QString& text : captions)
            QVERIFY2(allText.contains(text), qPrintable(text));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The placement run takes the screen as the editor does; the rest as every test does.
    if (qEnvironmentVariableIsSet(kPlacementRun)) {
        HelpPlacement placement;
        return QTest::qExec(&placement, argc, argv);
    }
    app.setAttribute(Qt::AA_Use96Dpi, true);
    HelpTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_help.moc"
