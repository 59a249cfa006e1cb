// Guards the 原稿用紙 line breaker: ruby notation, cells, 禁則, lines, sheets and the count.
#include <QtTest>

#include "tategaki/Genkou.h"

using namespace tategaki;

namespace {

// Lines joined by '/', each as its cells' text (a hanging run follows '^') and ':' its cell count.
QString Lines(const DocumentLayout& d) {
  QStringList lines;
  for (int n = 0; n < d.LineCount(); ++n) {
    const auto ref = d.Locate(n);
    const ParagraphLayout& p = d.Paragraph(ref.paragraph);
    const Line& l = p.lines[size_t(ref.line)];
    QString text;
    for (int c = l.firstCell; c < l.firstCell + l.cellCount; ++c) {
      const Cell& cell = p.cells[size_t(c)];
      text += p.text.shown.mid(cell.start, cell.TextEnd() - cell.start);
      if (cell.hangStart >= 0) text += '^' + p.text.shown.mid(cell.hangStart, cell.end - cell.hangStart);
    }
    lines << text + ':' + QString::number(l.cellCount);
  }
  return lines.join('/');
}

}  // namespace

class TestGenkou : public QObject {
  Q_OBJECT
 private slots:
  void ruby_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("parsed");  // the text shown, '|', each ruby as start+length:text
    QTest::newRow("bar") << "｜親文字《おやもじ》" << "親文字|0+3:おやもじ";
    QTest::newRow("kanji run") << "ひらがな漢字《かんじ》" << "ひらがな漢字|4+2:かんじ";
    QTest::newRow("々") << "人々《ひとびと》" << "人々|0+2:ひとびと";
    QTest::newRow("〆") << "〆切《しめきり》" << "〆切|0+2:しめきり";
    QTest::newRow("ヶ") << "三ヶ月《さんかげつ》" << "三ヶ月|0+3:さんかげつ";
    QTest::newRow("kanji outside the BMP") << "𠮷《よし》" << "𠮷|0+2:よし";
    QTest::newRow("after kana is text") << "かな《るび》" << "かな《るび》|";
    QTest::newRow("empty ruby is text") << "漢字《》" << "漢字《》|";
    QTest::newRow("unclosed ruby is text") << "漢字《かんじ" << "漢字《かんじ|";
    QTest::newRow("bar without ruby is text") << "｜親文字" << "｜親文字|";
    QTest::newRow("bar with empty base is text") << "｜《るび》" << "｜《るび》|";
    QTest::newRow("second bar opens the base") << "Ａ｜Ｂ｜Ｃ《し》" << "Ａ｜ＢＣ|3+1:し";
    QTest::newRow("base stops at earlier ruby") << "｜東京《とうきょう》都《と》" << "東京都|0+2:とうきょう,2+1:と";
    QTest::newRow("annotation hidden") << "［＃ここから２字下げ］本文" << "本文|";
    QTest::newRow("unclosed annotation is text") << "［＃閉じない" << "［＃閉じない|";
  }
  void ruby() {
    QFETCH(QString, text);
    const ParsedParagraph p = ParseParagraph(text);
    QStringList got;
    for (const Ruby& r : p.rubies) got << QStringLiteral("%1+%2:%3").arg(r.start).arg(r.length).arg(r.text);
    QTEST(p.shown + '|' + got.join(','), "parsed");
  }

  void lines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("lines");
    // Five cells a line keeps the cases short.
    QTest::newRow("wrap") << "あいうえおかき" << "あいうえお:5/かき:2";
    QTest::newRow("closing hangs") << "あいうえお。か" << "あいうえお^。:5/か:1";
    QTest::newRow("two closing hang together") << "あいうえお。」か" << "あいうえお^。」:5/か:1";
    QTest::newRow("hanging at paragraph end") << "あいうえお、\nか" << "あいうえお^、:5/か:1";
    QTest::newRow("closing at paragraph start stays") << "。」あ" << "。」あ:3";
    QTest::newRow("closing mid-line takes a cell") << "あ。い" << "あ。い:3";
    QTest::newRow("small kana and ー do not hang") << "あいうえおっー" << "あいうえお:5/っー:2";
    QTest::newRow("！ does not hang") << "あいうえお！" << "あいうえお:5/！:1";
    QTest::newRow("opening in the last cell moves") << "あいうえ「か」" << "あいうえ:4/「か」:3";
    QTest::newRow("opening before the last cell stays") << "あいう「え" << "あいう「え:5";
    QTest::newRow("half-width pairs") << "abcde" << "abcde:3";
    QTest::newRow("half-width pair at a line end") << "あいうえabc" << "あいうえab:5/c:1";
    QTest::newRow("half-width run broken by kana") << "aあb" << "aあb:3";
    QTest::newRow("half-width space takes a cell") << "a b" << "a b:3";
    QTest::newRow("empty paragraph is a line") << "あ\n\nい" << "あ:1/:0/い:1";
    QTest::newRow("trailing empty paragraphs") << "あ\r\n\r\n\r\n" << "あ:1";
    QTest::newRow("ruby across a line end") << "あいう｜漢字《かんじ》えお" << "あいう漢字:5/えお:2";
    QTest::newRow("annotation takes no cell") << "あ［＃改ページ］い" << "あい:2";
    QTest::newRow("surrogate pair is one cell") << "𠮷野家" << "𠮷野家:3";
  }
  void lines() {
    QFETCH(QString, text);
    DocumentLayout d(5, 20);
    d.Update(SplitParagraphs(text));
    QTEST(Lines(d), "lines");
  }

  void count_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("count");  // characters, without spaces, paragraphs, sheets, lines of the last
    QTest::newRow("empty") << "" << "0 0 0 0 0";
    QTest::newRow("notation and spaces") << "漢字《かんじ》　a b\t\n\n" << "7 4 1 1 1";
    QTest::newRow("a full sheet") << QString(400, u'あ') << "400 400 1 1 20";
    QTest::newRow("one line over") << QString(401, u'あ') << "401 401 1 2 1";
    QTest::newRow("leading empty lines count") << "\n\n\nあ" << "1 1 1 1 4";
    QTest::newRow("spaces only is no paragraph") << "　 \nあ" << "3 1 1 1 2";
    QTest::newRow("surrogate pair") << "𠮷" << "1 1 1 1 1";
    QTest::newRow("hanging run adds no line") << QString(20, u'あ') + "。」" << "22 22 1 1 1";
  }
  void count() {
    QFETCH(QString, text);
    DocumentLayout d;
    d.Update(SplitParagraphs(text));
    const Count c = CountText(d);
    QTEST(QStringLiteral("%1 %2 %3 %4 %5").arg(c.characters).arg(c.charactersNoSpaces).arg(c.paragraphs).arg(c.sheets)
              .arg(c.lastSheetLines),
          "count");
  }

  // An edit lays out the changed paragraph alone and shifts the lines after it.
  void incremental() {
    DocumentLayout d;
    d.Update({QString(50, u'あ'), "い", "う"});
    const long before = d.LayoutRuns();
    QCOMPARE(d.Update({QString(50, u'あ'), QString(30, u'い'), "う"}), 1);
    QCOMPARE(d.LayoutRuns() - before, 1L);
    QCOMPARE(d.FirstLine(2), 5);
    QCOMPARE(d.LineOfSource(1, 25), 4);
  }
};

QTEST_GUILESS_MAIN(TestGenkou)
#include "test_genkou.moc"
