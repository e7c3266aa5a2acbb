// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// While the editor runs, a change of the keepsake file on disk is noticed and announced, and
// nothing is read until "Reload!"; its own writes beside the keepsake file are not a change.
#include "collecting/KeepsakeAppend.h"
#include "support/EditorFixture.h"

#include <QSignalSpy>
#include <QTest>

namespace {
const QString kNotice =
    QStringLiteral("キープセイクファイルが更新されました。Reload!で読み込みます。");
}

class KeepsakeWatchTest : public QObject {
    Q_OBJECT

private slots:
    void aKeptEntryIsAnnouncedAndReadOnReload_data() {
        QTest::addColumn<bool>("besidePages");  // the keepsake file lies in the editor's folder
        QTest::newRow("companion folder") << false;
        QTest::newRow("editor's folder") << true;
    }
    void aKeptEntryIsAnnouncedAndReadOnReload() {
        QFETCH(bool, besidePages);
        EditorFixture f;
        const QString keepsakeFolder = besidePages ? f.appFolder() : f.companionFolder();
        f.writeSettings({"Music"});
        if (besidePages) {
            f.writeFile(f.appFolder() + "KEEPSAKE.INI",
                        EditorFixture::page(
                            {"[Scribble]", "Folder=" + f.appFolder(), "[Books]", "0000=Music"}));
        }
        f.writeFile(keepsakeFolder + "KEEPSAKE.HTML",
                    EditorFixture::listFile(EditorFixture::entry("a.example/", "一")));
        QVERIFY(f.start());
        KeepsakeEditor& e = f.editor();
        QCOMPARE(e.KeepCount, 1);
        QSignalSpy messages(&e, &KeepsakeEditor::message);

        // The editor's own writes (a page, the working copy by a reload) are no change.
        e.ReadKeepsake("KEEPSAKE.HTML");
        e.lstKinds.setCurrentRow(0);
        QTest::qWait(300);
        QCOMPARE(e.KeepsakeNotice, QString());
        QVERIFY(!messages.contains(QVariantList{kNotice}));

        const qsizetype boxes = f.prompts.messageTexts().size();
        const collecting::KeepResult kept = collecting::keepEntry(
            {f.appFolder(), keepsakeFolder},
            collecting::prepareEntry("https://b.example/", "二", {}), QDateTime::currentDateTime());
        QVERIFY2(kept.ok, qPrintable(kept.message));
        QTRY_COMPARE(e.KeepsakeNotice, kNotice);
        QCOMPARE(messages.last(), QVariantList{kNotice});
        QCOMPARE(e.KeepCount, 1);                          // nothing read yet
        QCOMPARE(f.prompts.messageTexts().size(), boxes);  // and no box

        e.ReadKeepsake("KEEPSAKE.HTML");
        QCOMPARE(e.KeepsakeNotice, QString());
        QCOMPARE(e.KeepCount, 2);
        QCOMPARE(e.KeepURL[2], "b.example/");
        QCOMPARE(e.KeepCom[2], "二");
        f.close();
    }
};

QTEST_GUILESS_MAIN(KeepsakeWatchTest)
#include "tst_keepsakewatch.moc"
