// The Japanese specifics of the platform layer: the CP932 measure and
// converter, decoding of plain-text files, and era dates.
#include <QtTest>

#include "platform/FormatDateTime.h"
#include "platform/ShiftJis.h"
#include "platform/TextDecode.h"

using textdecode::Encoding;
Q_DECLARE_METATYPE(textdecode::Encoding)

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
const QString kFffd(QChar(0xFFFD));

// "日本語のテキストです。これはテストの文章になります。" in EUC-JP.
const QByteArray kEucJp = QByteArray::fromHex(
    "c6fccbdcb8eca4cea5c6a5ada5b9a5c8a4c7a4b9a1a3a4b3a4eca4cfa5c6a5b9a5c8a4cecab8becfa4cba4caa4eaa4dea4b9a1a3");
const char* kEucJpText = "日本語のテキストです。これはテストの文章になります。";

}  // namespace

class TestJapanese : public QObject {
  Q_OBJECT
 private slots:
  void cp932Encode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("line break") << "a\r\nb" << QByteArray("a\r\nb");
    QTest::newRow("kanji, half-width kana") << U("漢字ｱｲ") << QByteArray("\x8a\xbf\x8e\x9a\xb1\xb2");
    QTest::newRow("NEC specials") << U("①㈱") << QByteArray("\x87\x40\x87\x8a");
    QTest::newRow("wave dash by fallback") << U("〜～") << QByteArray("\x81\x60\x81\x60");
    // Unencodable: the 2-byte substitute, whatever the character; ICU alone
    // would drop the invisible ones without a trace.
    QTest::newRow("unencodable") << U("é€𠮷") << QByteArray("\xfc\xfc\xfc\xfc\xfc\xfc");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("\xfc\xfc");
    QTest::newRow("invisible") << U("a\u2060b\u200Bc\uFE0F\u206F") << QByteArray("a\xfc\xfc" "b\xfc\xfc" "c\xfc\xfc\xfc\xfc");
  }
  void cp932Encode() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(sjis::Encode(text), bytes);
    QCOMPARE(sjis::ByteLength(text), bytes.size());
  }

  void cp932DecodeAndCount() {
    const QString text = U("吾輩は猫である。名前はまだ無い。\r\nｶﾀｶﾅ ABC ①～");
    QCOMPARE(sjis::Decode(sjis::Encode(text)), text);
    // Invalid bytes and a lone lead byte are U+FFFD, not ICU's U+001A.
    QCOMPARE(sjis::Decode(QByteArray("a\x81\x20" "b\xff" "c\0d\x82", 9)),
             "a" + kFffd + " b" + kFffd + "c" + QChar(0) + "d" + kFffd);

    const QByteArray three = sjis::Encode(U("あいう"));
    QList<int> counts;
    for (int n : {-5, 0, 3, 4, 6, 100}) counts << ByteToCharLen(three, n);
    QCOMPARE(counts, QList<int>({0, 0, 2, 2, 3, 3}));
    QCOMPARE(ByteToCharLen(sjis::Encode(U("あ\r\nｱい")), 7), 5);
    QCOMPARE(ByteToCharLen(QByteArray("a\x82"), 2), 2);      // a lead byte alone counts once
    QCOMPARE(ByteToCharLen(sjis::Encode(U("ソ")), 2), 1);     // trail byte 0x5C is no character
  }

  void unencodableChars() {
    const QString text = U("abc\r\nd𠮷e\nf\ré\u200B");
    QStringList found;  // character, line, index
    for (const auto& u : sjis::UnencodableChars(text))
      found << QStringLiteral("%1 %2 %3").arg(uint(u.ch), 0, 16).arg(u.line).arg(u.index);
    QCOMPARE(found, QStringList({"20bb7 2 6", "e9 4 12", "200b 4 13"}));
    QCOMPARE(sjis::UnencodableChars(text, 1).size(), 1);
    QVERIFY(sjis::UnencodableChars(U("日本語ｶﾅ①～〜")).isEmpty());
  }

  void detectAndDecode_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<QString>("text");
    QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF\xE3\x81\x82\r\nb") << Encoding::Utf8Bom << U("あ\nb");
    QTest::newRow("utf-16le") << QByteArray("\xFF\xFE\x42\x30\x0D\x00\x0A\x00\x3D\xD8\x00\xDE", 12) << Encoding::Utf16LE << U("あ\n😀");
    QTest::newRow("utf-16be") << QByteArray("\xFE\xFF\x30\x42\x00\x0D\x00\x62", 8) << Encoding::Utf16BE << U("あ\nb");
    QTest::newRow("utf-16 odd byte") << QByteArray("\xFF\xFE\x41\x00\x42", 5) << Encoding::Utf16LE << "A" + kFffd;
    QTest::newRow("utf-16 lone surrogate") << QByteArray("\xFF\xFE\x3D\xD8\x41\x00", 6) << Encoding::Utf16LE << kFffd + "A";
    QTest::newRow("utf-8") << QByteArray("\xE6\x97\xA5\xE6\x9C\xAC abc") << Encoding::Utf8 << U("日本 abc");
    QTest::newRow("empty") << QByteArray() << Encoding::Utf8 << QString();
    QTest::newRow("utf-8 cut at end") << QByteArray("\xE6\x97\xA5\xE6\x9C") << Encoding::Utf8 << U("日") + kFffd;
    // Hiragana, kanji, half-width kana, NEC and IBM extensions, the CP932 tilde.
    QTest::newRow("cp932") << QByteArray("\x82\xa0\x8a\xbf\x8e\x9a\xb1\xb2\x87\x40\x87\x8d\xfa\x40\x81\x60") << Encoding::Cp932
                           << U("あ漢字ｱｲ①㍾ⅰ～");
    QTest::newRow("cp932 trail 5c") << QByteArray("\x83\x5c\x83\x74\x83\x67\x95\x5c\x8e\xa6") << Encoding::Cp932 << U("ソフト表示");
    QTest::newRow("cp932 lead like utf-8") << QByteArray("\xe3\x81\x82\xa0") << Encoding::Cp932 << U("縺あ");
    QTest::newRow("euc-jp") << kEucJp << Encoding::EucJp << U(kEucJpText);
    // Kana-only EUC-JP also reads as CP932 half-width kana: the detector decides,
    // and when the text is too short for it to be sure, CP932 stands.
    QTest::newRow("euc-jp kana") << QByteArray::fromHex("a4b3a4eca4cfa4d2a4e9a4aca4caa4c8a5aba5bfa5aba5caa4c0a4b1a4cea4d6a4f3a4b7a4e7a4a6a4c7"
                                                        "a4b9a1a3a4dba4f3a4c8a4a6a4cba4bda4a6a4c7a4b9a4cda1a3")
                                 << Encoding::EucJp << U("これはひらがなとカタカナだけのぶんしょうです。ほんとうにそうですね。");
    QTest::newRow("euc-jp too short") << QByteArray::fromHex("a4d2a4e9a4aca4ca") << Encoding::Cp932 << U("､ﾒ､鬢ｬ､ﾊ");
  }
  void detectAndDecode() {
    QFETCH(QByteArray, bytes);
    QFETCH(Encoding, encoding);
    Encoding used = Encoding::Utf8Bom;
    QTEST(textdecode::Decode(bytes, &used), "text");
    QCOMPARE(used, encoding);
    QCOMPARE(textdecode::Detect(bytes), encoding);
  }

  void lineEndingsNulAndInvalidBytes() {
    QCOMPARE(textdecode::Decode("a\r\nb\nc\rd\r\r\ne\n\r"), QStringLiteral("a\nb\nc\nd\n\ne\n\n"));
    // NUL never reaches the document, and the loss shows. Both after decoding, in whatever encoding.
    QCOMPARE(textdecode::Decode(QByteArray("a\0b", 3)), "a" + kFffd + "b");
    // Bytes CP932 has no character for, a lead byte without its trail.
    QCOMPARE(textdecode::Decode("a\x80" "b\xa0" "c\xfd" "d\x82"), "a" + kFffd + "b" + kFffd + "c" + kFffd + "d" + kFffd);
    QCOMPARE(textdecode::Decode("\x82\x20x"), kFffd + " x");
    QByteArray all;
    for (int i = 0; i < 256; ++i)
      for (int j = 0; j < 256; j += 7) all += char(i), all += char(j);
    const QString text = textdecode::Decode(all);
    QVERIFY(!text.contains(QChar(0)));
    QVERIFY(!text.contains(QChar('\r')));
    // Past the detector's window, decoded whole.
    QCOMPARE(textdecode::Decode(QByteArray("\x93\xfa\x96\x7b\x8c\xea abc\r\n").repeated(40000)),
             U("日本語 abc\n").repeated(40000));
  }

  void corpusText() {
    QFile f(QStringLiteral(SORAMEMO_CORPUS "/text/chukiichiran_kinyurei.sjis.txt"));
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
    const QByteArray bytes = f.readAll();
    Encoding used;
    QString text = textdecode::Decode(bytes, &used);
    QCOMPARE(used, Encoding::Cp932);
    QVERIFY(text.startsWith(U("「注記一覧」記載例文\n青空文庫\n")));
    QVERIFY(!text.contains(kFffd));
    // With CR LF again, the encoder gives back the file byte for byte.
    QCOMPARE(sjis::Encode(text.replace(QChar('\n'), QStringLiteral("\r\n"))), bytes);
  }

  void eraDates_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");
    const QString wareki = U("ggge'年'mmmmd'日'[aaaa]");
    const auto row = [](const QString& format, QDate date, const char* expected) {
      QTest::addRow("%s %s", qPrintable(format), qPrintable(date.toString(Qt::ISODate))) << format << date << U(expected);
    };
    // The three notations the date commands insert.
    row(wareki, {2026, 12, 6}, "令和8年12月6日[日曜日]");
    row(U("dddddd[aaaa]"), {2026, 12, 6}, "2026年12月6日[日曜日]");
    row(U("ddddd(aaa)"), {2026, 12, 6}, "2026/12/06(日)");
    // Every era change; the first year is a number, never 元年.
    row(wareki, {1912, 7, 29}, "明治45年7月29日[月曜日]"), row(wareki, {1912, 7, 30}, "大正1年7月30日[火曜日]");
    row(wareki, {1926, 12, 24}, "大正15年12月24日[金曜日]"), row(wareki, {1926, 12, 25}, "昭和1年12月25日[土曜日]");
    row(wareki, {1989, 1, 7}, "昭和64年1月7日[土曜日]"), row(wareki, {1989, 1, 8}, "平成1年1月8日[日曜日]");
    row(wareki, {2019, 4, 30}, "平成31年4月30日[火曜日]"), row(wareki, {2019, 5, 1}, "令和1年5月1日[水曜日]");
    // Single tokens, quoting.
    row("g GGG ee", {2019, 5, 1}, "令 令和 01"), row("yyyy/mm/dd m-d", {2019, 5, 1}, "2019/05/01 5-1");
    row("'ggg' \"d\" x", {2019, 5, 1}, "ggg d x"), row("[aaa](aaaa)", {2019, 5, 1}, "[水](水曜日)");
    row("'unterminated", {2019, 5, 1}, "unterminated");
  }
  void eraDates() {
    QFETCH(QString, format);
    QFETCH(QDate, date);
    QTEST(FormatDateTime(format, date), "expected");
  }
};

QTEST_MAIN(TestJapanese)
#include "test_japanese.moc"
