// The one search of Find Next, Replace and Replace All: what matches, and where in bytes.
#include <QtTest>

#include "platform/RichEdit.h"
#include "platform/TextSearch.h"

class TestSearch : public QObject {
  Q_OBJECT
 private slots:
  void findText_data() {
    QTest::addColumn<QString>("text");  // paragraphs parted by "\r\n"
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("types");
    QTest::addColumn<int>("expected");  // byte position
    const QString jp = QStringLiteral("日本語の文書。Word word WORD\r\n二行目の文書");
    QTest::newRow("japanese") << jp << QStringLiteral("文書") << 0 << 100 << 0 << 8;
    QTest::newRow("start inside a double-byte character") << jp << QStringLiteral("文書") << 9 << 100 << 0 << 38;
    QTest::newRow("match case") << jp << "word" << 0 << 100 << int(stMatchCase) << 19;
    QTest::newRow("range end cuts the match") << jp << QStringLiteral("文書") << 0 << 11 << 0 << -1;
    QTest::newRow("range end just after the match") << jp << QStringLiteral("文書") << 0 << 12 << 0 << 8;
    QTest::newRow("range clipped at the text's end") << jp << QStringLiteral("二行目") << 20 << 100000 << 0 << 30;
    QTest::newRow("start past the end") << jp << "W" << 500 << 10 << 0 << -1;
    QTest::newRow("break as CR LF") << "x a\r\nb" << "a\r\nb" << 0 << 100 << 0 << 2;
    QTest::newRow("break measures 2 before the range end") << "a\r\nb" << "a\nb" << 0 << 3 << 0 << -1;
    // Neither a space nor a no-break space stands for the other, in the text or the pattern.
    QTest::newRow("no-break space is itself") << QStringLiteral("a b a\u00A0b") << QStringLiteral("a\u00A0b")
                                              << 0 << 100 << 0 << 4;
    QTest::newRow("whole word at the start") << "word wordy" << "word" << 0 << 100 << int(stWholeWord) << 0;
    QTest::newRow("whole word at the end") << "wordy sword word" << "word" << 0 << 100 << int(stWholeWord) << 12;
    QTest::newRow("word inside Japanese text") << QStringLiteral("日本語word日本語") << "word" << 0 << 100
                                               << int(stWholeWord) << -1;
  }

  // Through the control, in the byte units every caller uses.
  void findText() {
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, types);
    TRichEdit e;
    e.SetSelText(text);
    QTEST(e.FindText(what, start, length, types), "expected");
  }

  // After a replacement the character in front of the next search is the replacement's.
  void wholeWordAfterReplacement() {
    const TextSearch search(u"ab", stWholeWord);
    QCOMPARE(search.IndexIn(u"x ab", 2, -1, U'y'), -1);
    QCOMPARE(search.IndexIn(u"xab", 1, -1, U' '), 1);
    QCOMPARE(search.IndexIn(u"xab", 1, -1, 0), 1);
    QCOMPARE(search.IndexIn(u"「ab」", 1), 1);  // Japanese brackets end a word
  }
};

QTEST_MAIN(TestSearch)
#include "test_search.moc"
