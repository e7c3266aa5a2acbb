#include "platform/Cp932Codec.h"
#include "platform/LineReader.h"

#include <QRandomGenerator>
#include <QTest>

class CodecTest : public QObject {
    Q_OBJECT

private slots:
    void knownCharactersUseTheirWindowsForms() {
        // 《 》 ～ ● as the pages hold them; 0x8160 must be the full-width tilde U+FF5E.
        const QByteArray bytes("\x81\x73\x81\x74\x81\x60\x81\x9c", 8);
        QCOMPARE(cp932::decode(bytes), QStringLiteral("《》～●"));
        QCOMPARE(cp932::encode(QStringLiteral("《 》～●")),
                 QByteArray("\x81\x73 \x81\x74\x81\x60\x81\x9c"));
        QCOMPARE(cp932::decode("\xb1\xb2"), QStringLiteral("ｱｲ"));
        QCOMPARE(cp932::encode(u"表示順序"), QByteArray("\x95\x5c\x8e\xa6\x8f\x87\x8f\x98"));
        QCOMPARE(cp932::decode("a\\b~"), QStringLiteral("a\\b~"));
    }

    void anyBytesComeBackUnchanged() {
        QRandomGenerator rng(20261208);
        for (int round = 0; round < 2000; ++round) {
            QByteArray bytes(rng.bounded(1, 64), Qt::Uninitialized);
            for (char& b : bytes)
                b = static_cast<char>(rng.bounded(256));
            QCOMPARE(cp932::encode(cp932::decode(bytes)), bytes);
        }
        // Every single byte and every pair of bytes.
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; ++b) {
                const char raw[2] = {static_cast<char>(a), static_cast<char>(b)};
                const QByteArray pair(raw, 2);
                QCOMPARE(cp932::encode(cp932::decode(pair)), pair);
            }
        }
    }

    void brokenBytesAreEscapedNotLost() {
        // A lead byte at the end and a lead byte with a bad trail byte.
        const QString text = cp932::decode(QByteArray("ab\x81", 3));
        QCOMPARE(text.size(), 3);
        QVERIFY(cp932::hasEscapes(text));
        QVERIFY(!cp932::hasEscapes(cp932::decode("plain")));
        // NEC duplicate of a JIS symbol keeps its own bytes.
        const QByteArray nec("\x87\x90", 2);
        QCOMPARE(cp932::encode(cp932::decode(nec)), nec);
    }

    void unencodableCharactersAreFlagged() {
        QVERIFY(cp932::canEncode(u"日本語 abc ｱ"));
        QVERIFY(!cp932::canEncode(u"é"));
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
    }
};

QTEST_GUILESS_MAIN(CodecTest)
#include "tst_codec.moc"
