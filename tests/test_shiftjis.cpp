#include <QtTest>

#include "platform/ShiftJis.h"

class TestShiftJis : public QObject {
  Q_OBJECT
 private slots:
  void measureMatchesEncoder_data();
  void measureMatchesEncoder();
  void roundTripJapanese();
  void byteToCharLen();
  void unencodableCharsNamesFirstWithLine();
  void decodeNeverFails();
};

void TestShiftJis::measureMatchesEncoder_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("bytes");
  QTest::newRow("ascii") << QString("abc") << 3;
  QTest::newRow("kanji") << QString("漢字") << 4;
  QTest::newRow("half-width kana") << QString("ｱｲｳ") << 3;
  QTest::newRow("crlf") << QString("a\r\nb") << 4;
  QTest::newRow("mixed") << QString("あaｱ\r\n漢") << 8;
  QTest::newRow("nec special") << QString("①㈱") << 4;
  QTest::newRow("unencodable latin") << QString("é€") << 4;
  QTest::newRow("astral") << QString::fromUcs4(U"𠮷😀") << 4;
  QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << 2;
}

void TestShiftJis::measureMatchesEncoder() {
  QFETCH(QString, text);
  QFETCH(int, bytes);
  QCOMPARE(sjis::ByteLength(text), bytes);
  QCOMPARE(sjis::Encode(text).size(), bytes);
}

void TestShiftJis::roundTripJapanese() {
  const QString text = QString::fromUtf8("吾輩は猫である。名前はまだ無い。\r\nｶﾀｶﾅ ABC ①～〜");
  const QByteArray bytes = sjis::Encode(text);
  // The wave dash U+301C is written as CP932's 0x8160, which reads back as U+FF5E.
  QString expected = text;
  expected.replace(QChar(0x301C), QChar(0xFF5E));
  QCOMPARE(sjis::Decode(bytes), expected);
  QCOMPARE(sjis::ByteLength(text), bytes.size());
  QCOMPARE(sjis::Decode(sjis::Encode(QString::fromUtf8("吾輩は猫である。\r\nｶﾀｶﾅ"))),
           QString::fromUtf8("吾輩は猫である。\r\nｶﾀｶﾅ"));
  QCOMPARE(QByteArray(sjis::Encode(QString::fromUtf8("あ"))), QByteArray("\x82\xA0"));
}

void TestShiftJis::byteToCharLen() {
  const QByteArray three = sjis::Encode(QString::fromUtf8("あいう"));
  QCOMPARE(ByteToCharLen(three, 4), 2);
  QCOMPARE(ByteToCharLen(three, 3), 2);  // the second character starts inside
  QCOMPARE(ByteToCharLen(three, 6), 3);
  QCOMPARE(ByteToCharLen(three, 100), 3);
  QCOMPARE(ByteToCharLen(three, 0), 0);
  QCOMPARE(ByteToCharLen(three, -5), 0);
  // CR and LF count one each; half-width kana is one byte, one character.
  const QByteArray lines = sjis::Encode(QString::fromUtf8("あ\r\nｱい"));
  QCOMPARE(lines.size(), 7);
  QCOMPARE(ByteToCharLen(lines, lines.size()), 5);
  // A lead byte with no trail byte still counts once.
  QCOMPARE(ByteToCharLen(QByteArray("a\x82"), 2), 2);
  // Trail bytes in the ASCII range belong to their lead byte.
  QCOMPARE(ByteToCharLen(sjis::Encode(QString::fromUtf8("ソ")), 2), 1);
}

void TestShiftJis::unencodableCharsNamesFirstWithLine() {
  const QString text = QString::fromUtf8("abc\r\nd") + QString::fromUcs4(U"𠮷") + "e\nf\ré";
  const auto all = sjis::UnencodableChars(text);
  QCOMPARE(all.size(), 2);
  QCOMPARE(uint(all[0].ch), 0x20BB7u);
  QCOMPARE(all[0].line, 2);
  QCOMPARE(all[0].index, 6);
  QCOMPARE(uint(all[1].ch), 0xE9u);
  QCOMPARE(all[1].line, 4);
  QCOMPARE(sjis::UnencodableChars(text, 1).size(), 1);
  QVERIFY(sjis::UnencodableChars(QString::fromUtf8("日本語ｶﾅ①")).isEmpty());
}

void TestShiftJis::decodeNeverFails() {
  const QByteArray bad("a\x81\x20" "b\xff" "c\0d\x82", 9);
  const QString s = sjis::Decode(bad);
  QCOMPARE(s, QString::fromUtf16(u"a\uFFFD b\uFFFDc") + QChar(0) + QString::fromUtf16(u"d\uFFFD"));
}

QTEST_MAIN(TestShiftJis)
#include "test_shiftjis.moc"
