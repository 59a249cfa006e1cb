#include <QtTest>

#include <QFile>

#include "platform/TextDecode.h"

using textdecode::Encoding;

Q_DECLARE_METATYPE(textdecode::Encoding)

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
const QString kReplacement(QChar(0xFFFD));

// "日本語のテキストです。これはテストの文章になります。" in EUC-JP.
const QByteArray kEucJp =
    "\xc6\xfc\xcb\xdc\xb8\xec\xa4\xce\xa5\xc6\xa5\xad\xa5\xb9\xa5\xc8\xa4\xc7\xa4\xb9\xa1\xa3"
    "\xa4\xb3\xa4\xec\xa4\xcf\xa5\xc6\xa5\xb9\xa5\xc8\xa4\xce\xca\xb8\xbe\xcf\xa4\xcb\xa4\xca"
    "\xa4\xea\xa4\xde\xa4\xb9\xa1\xa3";
const char* kEucJpText = "日本語のテキストです。これはテストの文章になります。";

}  // namespace

class TestTextDecode : public QObject {
  Q_OBJECT
 private slots:
  void encodings_data();
  void encodings();
  void lineEndings();
  void nulAndInvalidBytes();
  void corpusText();
  void largeInput();
};

void TestTextDecode::encodings_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<Encoding>("encoding");
  QTest::addColumn<QString>("text");
  QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF\xE3\x81\x82\r\nb") << Encoding::Utf8Bom
                             << U("あ\nb");
  QTest::newRow("utf-16le bom") << QByteArray("\xFF\xFE\x42\x30\x0D\x00\x0A\x00\x3D\xD8\x00\xDE", 12)
                                << Encoding::Utf16LE << U("あ\n😀");
  QTest::newRow("utf-16be bom") << QByteArray("\xFE\xFF\x30\x42\x00\x0D\x00\x62", 8)
                                << Encoding::Utf16BE << U("あ\nb");
  QTest::newRow("utf-16 odd byte") << QByteArray("\xFF\xFE\x41\x00\x42", 5) << Encoding::Utf16LE
                                   << "A" + kReplacement;
  QTest::newRow("utf-16 lone surrogate") << QByteArray("\xFF\xFE\x3D\xD8\x41\x00", 6)
                                         << Encoding::Utf16LE << kReplacement + "A";
  QTest::newRow("utf-8") << QByteArray("\xE6\x97\xA5\xE6\x9C\xAC abc") << Encoding::Utf8
                         << U("日本 abc");
  QTest::newRow("ascii") << QByteArray("plain ascii") << Encoding::Utf8 << U("plain ascii");
  QTest::newRow("empty") << QByteArray() << Encoding::Utf8 << QString();
  QTest::newRow("utf-8 cut at end") << QByteArray("\xE6\x97\xA5\xE6\x9C") << Encoding::Utf8
                                    << U("日") + kReplacement;
  // Hiragana, kanji, half-width kana, NEC and IBM extensions, the CP932 tilde.
  QTest::newRow("cp932") << QByteArray("\x82\xa0\x8a\xbf\x8e\x9a\xb1\xb2\x87\x40\x87\x8d\xfa\x40\x81\x60")
                         << Encoding::Cp932 << U("あ漢字ｱｲ①㍾ⅰ～");
  QTest::newRow("cp932 trail 5c") << QByteArray("\x83\x5c\x83\x74\x83\x67\x95\x5c\x8e\xa6")
                                  << Encoding::Cp932 << U("ソフト表示");
  QTest::newRow("cp932 lead like utf-8") << QByteArray("\xe3\x81\x82\xa0") << Encoding::Cp932
                                         << U("縺あ");
  QTest::newRow("euc-jp") << kEucJp << Encoding::EucJp << U(kEucJpText);
  // Kana-only EUC-JP reads as valid CP932 half-width kana too: the detector decides.
  QTest::newRow("euc-jp kana") << QByteArray::fromHex(
      "a4b3a4eca4cfa4d2a4e9a4aca4caa4c8a5aba5bfa5aba5caa4c0a4b1a4cea4d6a4f3a4b7a4e7a4a6a4c7a4b9a1a3"
      "a4dba4f3a4c8a4a6a4cba4bda4a6a4c7a4b9a4cda1a3")
                               << Encoding::EucJp
                               << U("これはひらがなとカタカナだけのぶんしょうです。ほんとうにそうですね。");
  // Too short for the detector to be sure: the default, CP932, stands.
  QTest::newRow("euc-jp too short") << QByteArray::fromHex("a4d2a4e9a4aca4ca") << Encoding::Cp932
                                    << U("､ﾒ､鬢ｬ､ﾊ");
  // Half-width kana in CP932 is also valid EUC-JP; without a sure detector
  // verdict it stays CP932.
  QTest::newRow("cp932 half-width kana") << QByteArray("\xb1\xb2\xb3\xb4\xb5\xb6\xb7\xb8\xb9\xba")
                                         << Encoding::Cp932 << U("ｱｲｳｴｵｶｷｸｹｺ");
}

void TestTextDecode::encodings() {
  QFETCH(QByteArray, bytes);
  QFETCH(Encoding, encoding);
  QFETCH(QString, text);
  QCOMPARE(textdecode::Detect(bytes), encoding);
  Encoding used = Encoding::Utf8Bom;
  QCOMPARE(textdecode::Decode(bytes, &used), text);
  QCOMPARE(used, encoding);
}

void TestTextDecode::lineEndings() {
  QCOMPARE(textdecode::Decode("a\r\nb\nc\rd\r\r\ne\n\r"), QStringLiteral("a\nb\nc\nd\n\ne\n\n"));
  // The same in CP932 and EUC-JP, where the text goes through ICU.
  QCOMPARE(textdecode::Decode("\x82\xa0\r\n\x82\xa2\r\x82\xa4\n"), U("あ\nい\nう\n"));
  QCOMPARE(textdecode::Decode(kEucJp + "\r\n" + kEucJp + "\r"), U(kEucJpText) + "\n" + U(kEucJpText) + "\n");
  QCOMPARE(textdecode::Decode(QByteArray("\xFF\xFE\x0D\x00\x0D\x00\x0A\x00", 8)), QStringLiteral("\n\n"));
}

void TestTextDecode::nulAndInvalidBytes() {
  // NUL becomes U+FFFD: it never reaches the document, and the loss shows.
  QCOMPARE(textdecode::Decode(QByteArray("a\0b", 3)), "a" + kReplacement + "b");
  QCOMPARE(textdecode::Decode(QByteArray("\x82\xa0\0\x82\xa2", 5)), U("あ") + kReplacement + U("い"));
  // Bytes CP932 has no character for, and a lead byte without its trail.
  Encoding used;
  QCOMPARE(textdecode::Decode("a\x80" "b\xa0" "c\xfd" "d\x82", &used),
           "a" + kReplacement + "b" + kReplacement + "c" + kReplacement + "d" + kReplacement);
  QCOMPARE(used, Encoding::Cp932);
  QCOMPARE(textdecode::Decode("\x82\x20x"), kReplacement + " x");
  // Random bytes of every value: one pass, no crash, no NUL or CR in the text.
  QByteArray all;
  for (int i = 0; i < 256; ++i)
    for (int j = 0; j < 256; j += 7) all += char(i), all += char(j);
  const QString text = textdecode::Decode(all);
  QVERIFY(!text.contains(QChar(0)));
  QVERIFY(!text.contains(QChar('\r')));
}

void TestTextDecode::corpusText() {
  QFile f(QStringLiteral(SORAMEMO_CORPUS "/text/chukiichiran_kinyurei.sjis.txt"));
  if (!f.open(QIODevice::ReadOnly)) QSKIP("corpus text not present");
  const QByteArray bytes = f.readAll();
  Encoding used;
  const QString text = textdecode::Decode(bytes, &used);
  QCOMPARE(used, Encoding::Cp932);
  QVERIFY(text.startsWith(U("「注記一覧」記載例文\n青空文庫\n")));
  QVERIFY(!text.contains(kReplacement));
  QVERIFY(!text.contains(QChar('\r')));
  QCOMPARE(text.count(QChar('\n')), bytes.count("\r\n"));
  // Encoded back with CR LF, the text is the file byte for byte.
  QStringEncoder enc("Shift_JIS");
  if (!enc.isValid()) QSKIP("Qt has no Shift-JIS encoder here");
  QString crlf = text;
  crlf.replace(QChar('\n'), QStringLiteral("\r\n"));
  const QByteArray again = enc.encode(crlf);
  if (again != bytes) {
    // Qt's Shift_JIS is not CP932 for a few symbols; compare the lines it agrees on.
    const QList<QByteArray> a = again.split('\n'), b = bytes.split('\n');
    QCOMPARE(a.size(), b.size());
    int same = 0;
    for (qsizetype i = 0; i < a.size(); ++i) same += a[i] == b[i];
    QVERIFY(same > a.size() * 9 / 10);
  }
}

void TestTextDecode::largeInput() {
  // 4 MB of CP932 with CR LF: decoded whole, each line intact.
  const QByteArray line = "\x93\xfa\x96\x7b\x8c\xea\x82\xcc\x95\xb6\x8f\xcd abc\r\n";
  QByteArray big;
  while (big.size() < 4 * 1024 * 1024) big += line;
  const QString text = textdecode::Decode(big);
  const QString one = U("日本語の文章 abc\n");
  QCOMPARE(text.size(), one.size() * (big.size() / line.size()));
  QCOMPARE(text.left(one.size() * 3), one + one + one);
  QVERIFY(text.endsWith(one));
}

QTEST_MAIN(TestTextDecode)
#include "test_textdecode.moc"
