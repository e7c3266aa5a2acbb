// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The order of the sorted lists, against Qt's own collator as the reference: first with the
// collator's own keys, then with the keys made from the characters' weights.
#include "keepsake/Collation.h"
#include "keepsake/EntryListModel.h"
#include "pages/CategoryListModel.h"
#include "support/SyntheticCollection.h"

#include <QAbstractItemModelTester>
#include <QCollator>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <thread>

namespace {

// The order QCollator gives (Japanese, case-insensitive), equal texts in the order they came.
QList<int> referenceOrder(const QList<QString>& texts) {
    QCollator collator(QLocale(QLocale::Japanese, QLocale::Japan));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QList<int> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return collator.compare(texts[a], texts[b]) < 0; });
    return order;
}

// The order of `texts` by a BackgroundOrder that takes the second and fourth fifths as runs
// keyed ahead, each on a thread of its own, as a page's stretches read ahead are; 1-based.
QList<int> orderWithRuns(const QList<QString>& texts) {
    const qsizetype fifth = texts.size() / 5;
    collation::KeyRun second(fifth), fourth(fifth);
    const auto keyRun = [&texts](collation::KeyRun& run, qsizetype from, qsizetype count) {
        for (qsizetype i = from; i < from + count; ++i)
            run.add(texts[i]);
    };
    std::thread a(keyRun, std::ref(second), fifth, fifth);
    std::thread b(keyRun, std::ref(fourth), 3 * fifth, fifth);
    a.join();
    b.join();
    collation::BackgroundOrder order(texts.size());
    for (qsizetype i = 0; i < texts.size();) {
        if (i == fifth || i == 3 * fifth) {
            order.add(std::move(i == fifth ? second : fourth));
            i += fifth;
        } else {
            order.add(texts[i++]);
        }
    }
    QList<int> sorted;
    for (qsizetype i : order.order())
        sorted.append(static_cast<int>(i) + 1);
    return sorted;
}

// Texts that differ in case, width, kana, accents, marks and punctuation, with repeats.
QList<QString> mixedTexts(int count) {
    const QStringList pieces = {"a",        "A",          "b",          "ａ",     "Ａ",
                                "ｱ",        "ア",         "あ",         "ぁ",     "が",
                                "か\u3099", "e",          "é",          "É",      "e\u0301",
                                "-",        "－",         " ",          "　",     "1",
                                "１",       "10",         "2",          "日本",   "本",
                                "ー",       "〜",         "～",         "!",      "www.",
                                "/",        "_",          "\t",         "Ω",      "ω",
                                "ﾊﾟ",       "パ",         "ゝ",         "ゞ",     "ヽ",
                                "ヾ",       "ｰ",          "ﾞ",          "\u3099", "\u309A",
                                "l",        "·",          "L",          "เก",     "И\u0306",
                                "Й",        "\U0001F600", "\U0002000B", "\x7f",   "a\u0308\u0323",
                                "ﬃ",        "㈱",         "Ⅻ",          "ǆ"};
    QRandomGenerator random(15);
    QList<QString> texts;
    for (int i = 0; i < count; ++i) {
        QString text;
        const int length = random.bounded(0, 5);
        for (int j = 0; j < length; ++j)
            text += pieces[random.bounded(static_cast<int>(pieces.size()))];
        texts.append(text);
    }
    return texts;
}

// Every character of the basic plane alone, after a kana and before a letter, and some
// random runs of them: whatever a character's weights, its neighbours' must not change them.
QList<QString> everyCharacter() {
    QList<QString> texts;
    QRandomGenerator random(21);
    for (char32_t c = 0; c < 0x10000; ++c) {
        const QChar ch(static_cast<char16_t>(c));
        texts << QString(ch) << QStringLiteral("か") + ch + QStringLiteral("a");
        QString run;
        for (int i = random.bounded(1, 4); i > 0; --i)
            run += QChar(static_cast<char16_t>(random.bounded(0x10000)));
        texts << run + ch;
    }
    return texts;
}

}  // namespace

class ListOrderTest : public QObject {
    Q_OBJECT

private slots:
    void sortsAsQtsCollator_data() {
        QTest::addColumn<QList<QString>>("texts");
        QTest::addColumn<bool>("fromWeights");
        QTest::addColumn<bool>("everyTextWeighed");
        QList<QString> addresses;
        QList<QString> comments;
        QList<QString> oneSite;  // long lists whose keys all begin alike
        for (const synthetic::Entry& e : synthetic::entries(25000, 7)) {
            addresses.append(e.address);
            oneSite.append(QStringLiteral("www.example.co.jp/pages/") + e.address);
            comments.append(e.comment);
        }
        struct List {
            const char* name;
            QList<QString> texts;
            bool everyTextWeighed;
        };
        const QList<List> lists = {
            {"addresses", addresses, true},
            {"comments", comments, true},
            {"one site", oneSite, true},
            {"two thirds one site", oneSite.mid(0, 17000) + addresses.mid(17000), true},
            {"category names", QList<QString>(synthetic::categoryNames(2000, 3)), true},
            {"mixed", mixedTexts(4000), false},
            {"every character", everyCharacter(), false},
        };
        // The collator's own keys come first: once the weights are read, they are used.
        for (const bool fromWeights : {false, true}) {
            for (const List& list : lists) {
                QTest::addRow("%s, %s", list.name, fromWeights ? "weights" : "collator keys")
                    << list.texts << fromWeights << list.everyTextWeighed;
            }
        }
    }

    void sortsAsQtsCollator() {
        QFETCH(QList<QString>, texts);
        QFETCH(bool, fromWeights);
        QFETCH(bool, everyTextWeighed);
        if (fromWeights) {
            collation::prepareAndWait();
            // Each text by itself: one left to the collator would give the whole list the
            // collator's keys.
            const qsizetype all = texts.size();
            texts.removeIf([](const QString& t) { return !collation::fromWeights(t); });
            if (everyTextWeighed)
                QCOMPARE(texts.size(), all);
            QVERIFY(texts.size() > all / 2);
        }
        QCOMPARE(collation::prepared(), fromWeights);
        QList<QString> byEntry = QList<QString>{QString()} + texts;  // entry 0 holds none
        QList<int> expected;
        for (int i : referenceOrder(texts))
            expected.append(i + 1);

        // A whole list at once, and in two batches, the second merged into the first.
        QList<int> all(texts.size());
        std::iota(all.begin(), all.end(), 1);
        EntryListModel whole(byEntry, EntryListModel::Order::Sorted);
        whole.addAll(all);
        QCOMPARE(whole.entries(), expected);
        EntryListModel merged(byEntry, EntryListModel::Order::Sorted);
        merged.addAll(all.mid(0, all.size() / 3));
        merged.addAll(all.mid(all.size() / 3));
        QCOMPARE(merged.entries(), expected);
        // Ordered on another thread while the texts come in, as the first read orders them.
        collation::BackgroundOrder background(texts.size() / 2);
        for (const QString& text : texts)
            background.add(text);
        QList<int> inBackground;
        for (qsizetype i : background.order())
            inBackground.append(static_cast<int>(i) + 1);
        QCOMPARE(inBackground, expected);
        // Runs of it keyed ahead on other threads, between texts added one by one; and with a
        // text left to the collator in a run, every key is the collator's again.
        QCOMPARE(orderWithRuns(texts), expected);
        QList<QString> oneInRun = texts;
        oneInRun.insert(oneInRun.size() / 2, QStringLiteral("\U00020BB7野家"));
        QList<int> oneInRunExpected;
        for (int i : referenceOrder(oneInRun))
            oneInRunExpected.append(i + 1);
        QCOMPARE(orderWithRuns(oneInRun), oneInRunExpected);
        // One text left to the collator, two thirds in: every key is the collator's after all.
        QList<QString> withOne = texts;
        withOne.insert(withOne.size() * 2 / 3, QStringLiteral("\U00020BB7野家"));
        QList<int> oneLeft;
        for (qsizetype i : collation::stableOrder(withOne))
            oneLeft.append(static_cast<int>(i));
        QCOMPARE(oneLeft, referenceOrder(withOne));
        // Sorted only when its rows are first asked for; what a view is told holds together.
        EntryListModel later(byEntry, EntryListModel::Order::Sorted);
        later.setSortWhenAsked(true);
        later.addAll(all);
        QCOMPARE(later.order(), std::nullopt);
        QCOMPARE(later.rowCount(), all.size());
        QCOMPARE(later.entries(), expected);
        QCOMPARE(later.order(), std::optional<QList<int>>(expected));
        EntryListModel watched(byEntry, EntryListModel::Order::Sorted);
        watched.setSortWhenAsked(true);
        QAbstractItemModelTester tester(&watched,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        watched.addAll(all.mid(0, 50));
        watched.add(all[60]);
        QCOMPARE(watched.rowCount(), 51);
        // A few added to many, as a reload finds them.
        EntryListModel few(byEntry, EntryListModel::Order::Sorted);
        few.addAll(all.mid(0, all.size() - all.size() / 50));
        few.addAll(all.mid(all.size() - all.size() / 50));
        QCOMPARE(few.entries(), expected);
        // One by one, each after the equal ones before it.
        EntryListModel oneByOne(byEntry, EntryListModel::Order::Sorted);
        for (int entry : all.mid(0, 600))
            oneByOne.add(entry);
        QList<int> firstPart;
        for (int entry : expected) {
            if (entry <= 600)
                firstPart.append(entry);
        }
        QCOMPARE(oneByOne.entries(), firstPart);

        // The category list sorts its names the same way.
        QList<CategoryListModel::Kind> kinds;
        for (int i = 0; i < texts.size(); ++i)
            kinds.append({texts[i], i + 1});
        CategoryListModel categories;
        categories.load(kinds);
        QList<int> pages;
        for (int row = 0; row < categories.count(); ++row)
            pages.append(categories.page(row));
        QCOMPARE(pages, expected);
    }
};

QTEST_GUILESS_MAIN(ListOrderTest)
#include "tst_listorder.moc"
