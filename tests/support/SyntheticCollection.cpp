// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/SyntheticCollection.h"

#include "platform/Cp932Codec.h"

#include <QDir>
#include <QFile>

#include <array>

namespace synthetic {
namespace {

// SplitMix64: tiny, fast, and the same sequence on every platform and compiler, which the
// distributions of <random> do not promise.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A number in [0, bound).
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }
    // A number in [low, high].
    int between(int low, int high) { return low + below(high - low + 1); }

    template <typename T, std::size_t N>
    const T& pick(const std::array<T, N>& items) {
        return items[static_cast<std::size_t>(below(static_cast<int>(N)))];
    }

private:
    std::uint64_t m_state;
};

// Words of the comments and category names; every one has a CP932 form.
constexpr std::array<const char16_t*, 64> kWords = {
    u"天気予報", u"料理",     u"レシピ",     u"旅行",     u"ニュース",     u"音楽", u"映画",
    u"写真",     u"掲示板",   u"日記",       u"リンク集", u"検索",         u"辞書", u"地図",
    u"時刻表",   u"鉄道",     u"温泉",       u"宿",       u"プログラム",   u"資料", u"新着情報",
    u"便利",     u"おすすめ", u"無料",       u"ソフト",   u"ダウンロード", u"東京", u"大阪",
    u"京都",     u"北海道",   u"沖縄",       u"ゲーム",   u"攻略",         u"漫画", u"小説",
    u"図書館",   u"研究室",   u"大学",       u"会社案内", u"株価",         u"天文", u"野球",
    u"サッカー", u"相撲",     u"将棋",       u"囲碁",     u"ホームページ", u"個人", u"趣味",
    u"園芸",     u"釣り",     u"山歩き",     u"ｶﾀｶﾅ",     u"ＦＡＱ",       u"Java", u"Perl",
    u"CGI",      u"HTML",     u"文字コード", u"ﾒｰﾙ",      u"パソコン",     u"通信", u"古本",
    u"喫茶店",
};

constexpr std::array<const char16_t*, 8> kJoiners = {
    u"の", u"と", u"・", u"、", u" ", u"／", u"で見つけた", u"について",
};

constexpr std::array<const char*, 32> kHostWords = {
    "asahi", "tenki",  "ryori",  "tabi",  "music", "eiga",   "photo",   "bbs",
    "diary", "links",  "search", "jisho", "map",   "jikoku", "tetsudo", "onsen",
    "yado",  "prog",   "docs",   "soft",  "game",  "manga",  "lib",     "univ",
    "kabu",  "tenmon", "yakyu",  "shogi", "igo",   "engei",  "tsuri",   "kissa",
};

constexpr std::array<const char*, 6> kDomains = {
    ".co.jp", ".ne.jp", ".or.jp", ".ac.jp", ".com", ".net",
};

QString twoDigits(int n) {
    return QString::number(n).rightJustified(2, u'0');
}

QString address(Random& rng, int index) {
    QString a = QStringLiteral("www.");
    a += QLatin1StringView(rng.pick(kHostWords));
    a += QString::number(rng.below(100));
    a += QLatin1StringView(rng.pick(kDomains));
    switch (rng.below(4)) {
        case 0:
            a += u'/';
            break;
        case 1:
            a += QStringLiteral("/~") + QLatin1StringView(rng.pick(kHostWords)) + u'/';
            break;
        default:
            a += u'/' + QLatin1StringView(rng.pick(kHostWords)) + u'/' +
                 QLatin1StringView(rng.pick(kHostWords)) + QString::number(index) +
                 QStringLiteral(".html");
            break;
    }
    return a;
}

QString comment(Random& rng, int index) {
    QString c = QString::fromUtf16(rng.pick(kWords));
    const int more = rng.between(1, 4);
    for (int i = 0; i < more; ++i) {
        c += QString::fromUtf16(rng.pick(kJoiners));
        c += QString::fromUtf16(rng.pick(kWords));
    }
    // Most comments differ; a few repeat, as when a page is kept twice.
    if (rng.below(8) != 0)
        c += QStringLiteral("（") + QString::number(index) + QStringLiteral("）");
    return c;
}

QDateTime date(Random& rng) {
    const QDate d(rng.between(1996, 2025), rng.between(1, 12), rng.between(1, 28));
    const QTime t(rng.below(24), rng.below(60), rng.below(60));
    return QDateTime(d, t, Qt::UTC);
}

QString pageDate(const QDateTime& dt) {
    const QDate d = dt.date();
    const QTime t = dt.time();
    return twoDigits(d.year() % 100) + u'/' + twoDigits(d.month()) + u'/' + twoDigits(d.day()) +
           u' ' + twoDigits(t.hour()) + u':' + twoDigits(t.minute()) + u':' + twoDigits(t.second());
}

const QString kCrLf = QStringLiteral("\r\n");

QString listFileText(const QString& titleLine, const QList<Entry>& list) {
    QString text = keepsakeHead();
    text.reserve(text.size() + list.size() * 110 + 200);
    if (!titleLine.isEmpty())
        text += titleLine + kCrLf;
    for (const Entry& e : list)
        text += entryLines(e);
    text += keepsakeFoot();
    return text;
}

bool writeFile(const QString& path, const QByteArray& bytes, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        if (error)
            *error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    return true;
}

QString pageNumberText(int n) {
    return QString::number(n).rightJustified(4, u'0');
}

}  // namespace

QList<Entry> entries(int count, std::uint64_t seed) {
    Random rng(seed);
    QList<Entry> list;
    list.reserve(count);
    for (int i = 0; i < count; ++i) {
        Entry e;
        e.address = address(rng, i);
        e.comment = comment(rng, i);
        e.date = date(rng);
        list.append(std::move(e));
    }
    return list;
}

QStringList categoryNames(int count, std::uint64_t seed) {
    Random rng(seed ^ 0x5CA7E60D1E5ULL);
    QStringList names;
    names.reserve(count);
    for (int i = 0; i < count; ++i) {
        QString name = QString::fromUtf16(rng.pick(kWords));
        if (rng.below(2) == 0)
            name += QString::fromUtf16(rng.pick(kWords));
        // The number keeps the names apart however many there are.
        name += u' ' + QString::number(i + 1);
        names.append(name);
    }
    return names;
}

QString keepsakeHead() {
    return QStringLiteral(
        "<HTML><HEAD><TITLE>KEEPSAKE</TITLE></HEAD>\r\n"
        "<BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#333333\">\r\n"
        "<FONT SIZE=+1><B>キープセイク</B></FONT><HR>\r\n"
        "<!--StartList-->\r\n");
}

QString keepsakeFoot() {
    return QStringLiteral(
        "<!--EndList-->\r\n"
        "<HR><I>Scribble</I>\r\n"
        "</BODY></HTML>\r\n");
}

QString entryLines(const Entry& entry) {
    QString lines;
    lines.reserve(2 * entry.address.size() + entry.comment.size() + 64);
    lines += QStringLiteral("<A HREF=\"http://");
    lines += entry.address;
    lines += QStringLiteral("\">");
    lines += entry.address;
    lines += QStringLiteral("</A><BR>\r\n");
    lines += QStringLiteral("《 ");
    lines += entry.comment;
    lines += QStringLiteral(" 》");
    lines += pageDate(entry.date);
    lines += QStringLiteral("<P>\r\n");
    return lines;
}

QByteArray keepsakeFile(const QList<Entry>& list) {
    return cp932::encode(listFileText(QString(), list));
}

QByteArray keepsakeFile(int count, std::uint64_t seed) {
    return keepsakeFile(entries(count, seed));
}

QByteArray categoryPage(const QString& name, const QList<Entry>& list) {
    return cp932::encode(listFileText(
        QStringLiteral("<H3><I><B>～ ") + name + QStringLiteral(" ～</B></I></H3>"), list));
}

QByteArray settingsFile(const QString& companionFolder, const QStringList& categories,
                        const QString& browserFolder) {
    QString text = QStringLiteral("[Scribble]\r\nFolder=") + companionFolder + kCrLf;
    if (!browserFolder.isEmpty()) {
        text += QStringLiteral("[Netscape]\r\nFolder=") + browserFolder + kCrLf;
    }
    text += QStringLiteral("[Books]\r\n");
    for (int n = 0; n < categories.size(); ++n) {
        text += pageNumberText(n) + u'=' + categories[n] + kCrLf;
    }
    text += pageNumberText(static_cast<int>(categories.size())) + u'=' + kCrLf;
    return cp932::encode(text);
}

std::optional<Layout> layOut(const QString& folder, const Collection& collection, QString* error) {
    Layout layout;
    layout.appFolder = QDir(folder).absolutePath() + u'/';
    layout.companionFolder = layout.appFolder + QStringLiteral("scribble/");
    if (!QDir().mkpath(layout.companionFolder)) {
        if (error)
            *error = QStringLiteral("cannot create ") + layout.companionFolder;
        return std::nullopt;
    }
    layout.categories = categoryNames(collection.categories, collection.seed);

    const QByteArray keepsake = keepsakeFile(collection.keptEntries, collection.seed);
    layout.keepsakeBytes = keepsake.size();
    if (!writeFile(layout.companionFolder + QStringLiteral("KEEPSAKE.HTML"), keepsake, error) ||
        !writeFile(layout.companionFolder + QStringLiteral("Scribble.ini"),
                   QByteArray("[Scribble]\r\n"), error) ||
        !writeFile(
            layout.appFolder + QStringLiteral("KEEPSAKE.INI"),
            settingsFile(layout.companionFolder, layout.categories, collection.browserFolder),
            error)) {
        return std::nullopt;
    }

    if (collection.writePages) {
        for (int n = 0; n < layout.categories.size(); ++n) {
            const int count = n == 0 && collection.firstPageEntries >= 0
                                  ? collection.firstPageEntries
                                  : collection.pageEntries;
            const QByteArray page = categoryPage(
                layout.categories[n], entries(count, collection.seed + 1000003ULL * (n + 1)));
            const QString path = layout.appFolder + QStringLiteral("URL_") + pageNumberText(n) +
                                 QStringLiteral(".html");
            if (!writeFile(path, page, error))
                return std::nullopt;
        }
    }
    return layout;
}

}  // namespace synthetic
