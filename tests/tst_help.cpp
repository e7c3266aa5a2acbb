// The help: the editor's own manual, opened at its contents in a window that leaves the
// editor usable, read through the text it shows.
#include "integration/HelpWindow.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBrowser>

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

}  // namespace

class HelpTest : public QObject {
    Q_OBJECT

private slots:
    void opensAtItsContentsBesideTheEditor() {
        WindowFixture f;
        f.writeSettings({"Music"});
        f.writeKeepsake(WindowFixture::listFile(WindowFixture::entry("a.example/", "A")));
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
        auto* back = help->findChildren<QPushButton*>().at(1);
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
        f.writeSettings({"Music"});
        f.writeKeepsake(WindowFixture::listFile(WindowFixture::entry("a.example/", "A")));
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

QTEST_MAIN(HelpTest)
#include "tst_help.moc"
