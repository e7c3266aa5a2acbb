// SPDX-FileCopyrightText: 2026 The Keepsake Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/Cp932Codec.h"
#include "platform/LineReader.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <unicode/ucnv.h>

namespace {

bool isLead(int b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
bool isTrail(int b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}
QString escape(int b) {
    return QString(QChar(static_cast<char16_t>(cp932::kEscapeBase + b)));
}
QString hex(QStringView text) {
    QStringList units;
    for (const QChar c : text)
        units << QString::number(c.unicode(), 16).toUpper();
    return units.join(u' ');
}

// Python's cp932 codec, which decodes as Windows does, run now over every single byte (lines
// 0-255) and every pair of bytes (line 256 + first * 256 + second). A line holds the
// characters in hex, or "-" where Python finds no character.
QList<std::optional<QString>> pythonDecodings() {
    static const char* const kScript = R"(
import sys
out = []
def line(b):
    try:
        return " ".join("%X" % ord(c) for c in b.decode("cp932", "strict"))
    except UnicodeDecodeError:
        return "-"
for i in range(256):
    out.append(line(bytes([i])))
for i in range(65536):
    out.append(line(bytes([i >> 8, i & 0xFF])))
sys.stdout.write("\n".join(out) + "\n")
)";
    QProcess python;
    python.start(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(kScript)});
    if (!python.waitForFinished(120000) || python.exitCode() != 0)
        return {};
    QList<std::optional<QString>> result;
    for (const QByteArray& line : python.readAllStandardOutput().split('\n')) {
        if (line.isEmpty())
            continue;
        if (line == "-") {
            result.append(std::nullopt);
            continue;
        }
        QString text;
        for (const QByteArray& unit : line.split(' '))
            text += QChar(static_cast<char16_t>(unit.toUInt(nullptr, 16)));
        result.append(text);
    }
    return result;
}

// ICU's "windows-31j" converter, which encodes as Windows does: the bytes of one character,
// or nothing when it has none.
class IcuWindows31j {
public:
    IcuWindows31j() {
        UErrorCode status = U_ZERO_ERROR;
        m_converter = ucnv_open("windows-31j", &status);
        if (U_FAILURE(status))
            m_converter = nullptr;
        if (m_converter) {
            ucnv_setFromUCallBack(m_converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr,
                                  &status);
            ucnv_setFallback(m_converter, false);
        }
    }
    ~IcuWindows31j() {
        if (m_converter)
            ucnv_close(m_converter);
    }
    bool isOpen() const { return m_converter != nullptr; }

    std::optional<QByteArray> encode(const QString& character) {
        char out[8];
        UErrorCode status = U_ZERO_ERROR;
        ucnv_resetFromUnicode(m_converter);
        const int32_t n = ucnv_fromUChars(m_converter, out, sizeof out,
                                          reinterpret_cast<const UChar*>(character.utf16()),
                                          static_cast<int32_t>(character.size()), &status);
        // Default-ignorable characters without a mapping are dropped rather than refused.
        if (U_FAILURE(status) || n == 0)
            return std::nullopt;
        return QByteArray(out, n);
    }

private:
    UConverter* m_converter = nullptr;
};

}  // namespace

class CodecTest : public QObject {
    Q_OBJECT

private slots:
    void knownCharactersUseTheirWindowsForms_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written");  // what the text encodes to
        auto row = [](const char* name, QByteArray bytes, const QString& text,
                      QByteArray written = {}) {
            QTest::newRow(name) << bytes << text << (written.isNull() ? bytes : written);
        };
        // 《 》 ～ ● as the pages hold them; 0x8160 is the full-width tilde U+FF5E.
        row("page marks", "\x81\x73\x81\x74\x81\x60\x81\x9c", u"《》～●"_qs);
        row("katakana", "\xb1\xb2", u"ｱｲ"_qs);
        row("kanji", "\x95\x5c\x8e\xa6\x8f\x87\x8f\x98", u"表示順序"_qs);
        row("ascii", "a\\b~", u"a\\b~"_qs);
        row("full-width backslash", "\x81\x5f", u"＼"_qs);
        // Duplicates decode to their character and are written with Windows' own code.
        row("NEC row 13 ≒", "\x87\x90", u"≒"_qs, "\x81\xe0");
        row("NEC-selected 髙", "\xee\xe0", u"髙"_qs, "\xfb\xfc");
        row("IBM 髙", "\xfb\xfc", u"髙"_qs);
        row("IBM ∵", "\xfa\x5b", u"∵"_qs, "\x81\xe6");
        row("NEC-selected ⅰ", "\xee\xef", u"ⅰ"_qs, "\xfa\x40");
        row("IBM Ⅰ", "\xfa\x4a", u"Ⅰ"_qs, "\x87\x54");
        row("NEC-selected ￢", "\xee\xf9", u"￢"_qs, "\x81\xca");
        row("kept comment", "\xee\xe0\x8b\xb4\x82\xb3\x82\xf1\x87\x90\x82\xa0\x82\xa2\x82\xa4",
            u"髙橋さん≒あいう"_qs,
            "\xfb\xfc\x8b\xb4\x82\xb3\x82\xf1\x81\xe0\x82\xa0\x82\xa2\x82\xa4");
        // Single bytes Windows gives characters of their own.
        row("0x80", "\x80", u"\u0080"_qs);
        row("0xA0", "\xa0", u"\uF8F0"_qs);
        row("0xFD-0xFF", "\xfd\xfe\xff", u"\uF8F1\uF8F2\uF8F3"_qs);
        row("user-defined", "\xf0\x40\xf9\xfc", u"\uE000\uE757"_qs);
    }

    void knownCharactersUseTheirWindowsForms() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QByteArray, written);
        QCOMPARE(cp932::decode(bytes), text);
        QCOMPARE(cp932::encode(text), written);
        QVERIFY(cp932::canEncode(text));
        QVERIFY(!cp932::hasEscapes(cp932::decode(bytes)));
    }

    // Every single byte and every pair of bytes against Python's cp932. Where Python finds no
    // character, a lead byte with a trail byte is one unassigned code, both bytes escaped;
    // any other byte stands alone.
    void decodesEveryCodeAsWindows() {
        const QList<std::optional<QString>> python = pythonDecodings();
        QCOMPARE(python.size(), 256 + 65536);
        auto alone = [&](int b) { return python[b] ? *python[b] : escape(b); };
        QStringList wrong;
        int codes = 0;
        for (int b = 0; b < 256; ++b) {
            const QString got = cp932::decode(QByteArray(1, static_cast<char>(b)));
            if (got != alone(b))
                wrong << QStringLiteral("%1: %2 for %3").arg(b, 2, 16).arg(hex(got), hex(alone(b)));
        }
        for (int i = 0; i < 65536; ++i) {
            const int a = i >> 8;
            const int b = i & 0xFF;
            QString expected;
            if (python[256 + i]) {
                expected = *python[256 + i];
                codes += isLead(a) ? 1 : 0;
            } else if (isLead(a) && isTrail(b)) {
                expected = escape(a) + escape(b);
            } else {
                expected = alone(a) + alone(b);
            }
            // Alone, and after ASCII of every length around the eight bytes looked at at once.
            for (int ascii : {0, 1, 7, 8, 9, 15, 16, 17}) {
                const QByteArray raw = QByteArray(ascii, 'h') + char(a) + char(b);
                const QString got = cp932::decode(raw);
                const QString want = QString(ascii, u'h') + expected;
                if (got != want && wrong.size() < 20)
                    wrong << QStringLiteral("%1 after %2: %3 for %4")
                                 .arg(i, 4, 16)
                                 .arg(ascii)
                                 .arg(hex(got), hex(want));
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
        QCOMPARE(codes, 9604);  // every two-byte code of the table, user-defined ones included
    }

    // Every character of the BMP and beyond against ICU's windows-31j, except where ICU
    // follows IBM rather than Windows (checked by hand below), and the six characters of
    // Linux input methods that are stored as their Windows counterparts.
    void encodesEveryCharacterAsWindows() {
        IcuWindows31j icu;
        QVERIFY2(icu.isOpen(), "ICU has no windows-31j converter");
        const QHash<char32_t, std::optional<QByteArray>> byHand = {
            // ICU swaps these control characters the IBM way; Windows keeps them.
            {0x001A, QByteArray("\x1a")},
            {0x001C, QByteArray("\x1c")},
            {0x007F, QByteArray("\x7f")},
            // The single bytes Windows decodes, and back.
            {0x0080, QByteArray("\x80")},
            {0xF8F0, QByteArray("\xa0")},
            {0xF8F1, QByteArray("\xfd")},
            {0xF8F2, QByteArray("\xfe")},
            {0xF8F3, QByteArray("\xff")},
            // One way only: what Linux input methods type for a Windows character.
            {0x301C, QByteArray("\x81\x60")},
            {0x2212, QByteArray("\x81\x7c")},
            {0x2016, QByteArray("\x81\x61")},
            {0x00A2, QByteArray("\x81\x91")},
            {0x00A3, QByteArray("\x81\x92")},
            {0x00AC, QByteArray("\x81\xca")},
            // ICU's IBM-derived table also writes this private-use character as №; Microsoft's
            // has no such mapping.
            {0xF86F, std::nullopt},
        };
        QStringList wrong;
        for (char32_t c = 0; c <= 0x10FFFF; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF)
                continue;
            // (QString::fromUcs4 would take U+FEFF for a byte order mark and drop it.)
            const QString text = c < 0x10000 ? QString(QChar(static_cast<char16_t>(c)))
                                             : QChar::fromUcs4(c).operator QStringView().toString();
            const std::optional<QByteArray> expected =
                byHand.contains(c) ? byHand.value(c) : icu.encode(text);
            const std::optional<QByteArray> got =
                cp932::canEncode(text) ? std::optional(cp932::encode(text)) : std::nullopt;
            if (got != expected && wrong.size() < 20) {
                wrong << QStringLiteral("U+%1: %2 for %3")
                             .arg(static_cast<uint>(c), 4, 16, QChar(u'0'))
                             .arg(got ? QString::fromLatin1(got->toHex()) : u"none"_qs)
                             .arg(expected ? QString::fromLatin1(expected->toHex()) : u"none"_qs);
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    }

    void anyBytesKeepTheirCharacters() {
        // Encoding what was decoded changes only duplicate codes, each into the code Windows
        // prefers for the same character: same length, same text.
        auto check = [](const QByteArray& bytes) {
            const QString text = cp932::decode(bytes);
            const QByteArray again = cp932::encode(text);
            QCOMPARE(again.size(), bytes.size());
            QCOMPARE(cp932::decode(again), text);
            QVERIFY(cp932::canEncode(text));
        };
        QRandomGenerator rng(20261208);
        for (int round = 0; round < 2000; ++round) {
            QByteArray bytes(rng.bounded(1, 64), Qt::Uninitialized);
            for (char& b : bytes)
                b = static_cast<char>(rng.bounded(256));
            check(bytes);
        }
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; ++b) {
                const char raw[3] = {static_cast<char>(a), static_cast<char>(b), '\x40'};
                check(QByteArray(raw, 3));
            }
        }
    }

    void brokenBytesAreEscapedNotLost() {
        // A lead byte at the end and a lead byte with a bad trail byte.
        const QString text = cp932::decode(QByteArray("ab\x81", 3));
        QCOMPARE(text.size(), 3);
        QVERIFY(cp932::hasEscapes(text));
        QVERIFY(!cp932::hasEscapes(cp932::decode("plain")));
        QCOMPARE(cp932::decode("\x81\x20"), escape(0x81) + u' ');
        // An unassigned code is one code: its trail byte is neither '@' nor a lead byte.
        QCOMPARE(cp932::decode("\x85\x40"), escape(0x85) + escape(0x40));
        QCOMPARE(cp932::decode("\x85\x88\x9f"), escape(0x85) + escape(0x88) + escape(0x9f));
        for (const QByteArray& bytes : {QByteArray("\x85\x40"), QByteArray("x\x81\r\n", 4)})
            QCOMPARE(cp932::encode(cp932::decode(bytes)), bytes);
        QCOMPARE(cp932::charLength("\x85\x40", 0), 2);
        QCOMPARE(cp932::charLength("\x81\x20", 0), 1);
        QCOMPARE(cp932::charLength("\xa0\x40", 0), 1);
    }

    void unencodableCharactersAreFlagged() {
        QVERIFY(cp932::canEncode(u"日本語 abc ｱ"));
        QVERIFY(!cp932::canEncode(u"é"));
        // Only the six characters of Linux input methods are taken one way; not ¥ or ‾.
        QVERIFY(cp932::canEncode(u"〜−‖¢£¬"));
        QVERIFY(!cp932::canEncode(u"¥"));
        QVERIFY(!cp932::canEncode(u"‾"));
        QVERIFY(!cp932::canEncode(u"—"));
        QVERIFY(!cp932::canEncode(QString::fromUtf8("\xF0\x9F\x98\x80")));
        QCOMPARE(cp932::encode(QString::fromUtf8("a\xF0\x9F\x98\x80z")), QByteArray("a?z"));
    }

    void linesEndAtCrLfLoneCrOrLoneLf() {
        LineReader r(QByteArray("one\r\ntwo\rthree\nfour\r\n\r\nsix"));
        QStringList lines;
        while (!r.atEnd())
            lines << r.readLine();
        QCOMPARE(lines, QStringList({"one", "two", "three", "four", "", "six"}));

        LineReader trailing(QByteArray("a\r\n"));
        QCOMPARE(trailing.readLine(), QStringLiteral("a"));
        QVERIFY(trailing.atEnd());

        // A lead byte right before the break does not swallow it.
        LineReader broken(QByteArray("x\x81\r\ny"));
        broken.readLine();
        QCOMPARE(broken.readLine(), QStringLiteral("y"));
        QVERIFY(LineReader(QByteArray()).atEnd());

        // Lines of every length around the sixteen bytes the search takes at a time, each
        // break at every place in them.
        QByteArray text;
        QList<QByteArray> expected;
        const char* const breaks[] = {"\r\n", "\r", "\n"};
        for (int length = 1; length < 40; ++length) {
            for (const char* lineBreak : breaks) {
                expected << QByteArray(length, 'a' + static_cast<char>(length % 26));
                text += expected.back() + lineBreak;
            }
        }
        expected << QByteArray(21, 'z');
        text += expected.back();
        LineReader all(text);
        QList<QByteArray> read;
        while (!all.atEnd())
            read << all.readRawLine();
        QCOMPARE(read, expected);
    }
};

QTEST_GUILESS_MAIN(CodecTest)
#include "tst_codec.moc"
