// RTF reading and writing: text, formatting and losses, as other word processors write it.
#include <QtTest>

#include <QDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include "platform/Rtf.h"
#include "platform/TextFormat.h"

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Block texts joined by "\n".
QString Text(const QTextDocument& doc) {
  QStringList parts;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) parts << b.text();
  return parts.join(QChar('\n'));
}

// Every attribute the program can set on a run, as one comparable string.
QString Attrs(const QTextCharFormat& f) {
  return QStringLiteral("%1|%2|%3|%4%5%6%7|cs%8")
      .arg(f.property(QTextFormat::FontFamilies).toStringList().value(0))
      .arg(f.fontPointSize())
      .arg(f.foreground().style() == Qt::NoBrush ? QStringLiteral("auto") : f.foreground().color().name())
      .arg(f.fontWeight() >= QFont::Bold ? "B" : "", f.fontItalic() ? "I" : "", f.fontUnderline() ? "U" : "",
           f.fontStrikeOut() ? "S" : "")
      .arg(f.hasProperty(textfmt::CharsetProperty) ? QString::number(f.intProperty(textfmt::CharsetProperty))
                                                   : QStringLiteral("-"));
}

// The document as paragraphs ("P", alignment, indents, and "L" with the list
// numbered in order of appearance, negative when not bullets) and runs of equal
// attributes ("[attributes] text").
QStringList Describe(const QTextDocument& doc) {
  QStringList out;
  QList<const QTextList*> lists;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    const QTextBlockFormat bf = b.blockFormat();
    const textfmt::Indents in = textfmt::GetIndents(bf);
    int list = 0;
    if (const QTextList* l = b.textList()) {
      if (!lists.contains(l)) lists << l;
      list = int(lists.indexOf(l)) + 1;
      if (l->format().style() != QTextListFormat::ListDisc) list = -list;
    }
    out << QStringLiteral("P%1 %2/%3/%4").arg(int(bf.alignment() & Qt::AlignHorizontal_Mask)).arg(in.first).arg(in.left)
                   .arg(in.right) + (list ? QStringLiteral(" L%1").arg(list) : QString());
    QString text, attrs;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QString a = Attrs(it.fragment().charFormat());
      if (a != attrs && !text.isEmpty()) out << QStringLiteral("[%1] %2").arg(attrs, text), text.clear();
      attrs = a;
      text += it.fragment().text();
    }
    if (!text.isEmpty()) out << QStringLiteral("[%1] %2").arg(attrs, text);
  }
  return out;
}

QTextCharFormat Fmt(const QString& family, double size, const char* styles = "", int charset = -1,
                    QColor color = {}) {
  QTextCharFormat f;
  f.setFontFamilies({family}); f.setFontPointSize(size);
  f.setFontWeight(strchr(styles, 'B') ? QFont::Bold : QFont::Normal); f.setFontItalic(strchr(styles, 'I'));
  f.setFontUnderline(strchr(styles, 'U')); f.setFontStrikeOut(strchr(styles, 'S'));
  if (charset >= 0) f.setProperty(textfmt::CharsetProperty, charset);
  if (color.isValid()) f.setForeground(color);
  return f;
}

void SetPara(QTextCursor& c, Qt::Alignment a, textfmt::Indents in) {
  QTextBlockFormat bf;
  bf.setAlignment(a); textfmt::SetIndents(bf, in); c.setBlockFormat(bf);
}

std::unique_ptr<QTextDocument> Read(const QByteArray& bytes) {
  auto doc = std::make_unique<QTextDocument>();
  rtf::Read(bytes, doc.get());
  return doc;
}

QByteArray Corpus(const QString& name) {
  QFile f(QStringLiteral(SORAMEMO_CORPUS "/rtf-peer/") + name);
  if (!f.open(QIODevice::ReadOnly)) qFatal("test data missing: %s", qPrintable(f.fileName()));
  return f.readAll();
}

// Every attribute the program can set, in Japanese and ASCII.
void BuildRichDocument(QTextDocument& doc) {
  const QTextCharFormat jp = Fmt(U("ＭＳ 明朝"), 10.5, "", 128);
  QTextCursor c(&doc);
  c.insertText(U("日本語の本文、ｶﾀｶﾅと"), jp);
  c.insertText(QStringLiteral(" ASCII text"), Fmt("Arial", 12));
  c.insertText(QStringLiteral("bold red"), Fmt("Arial", 12, "B", -1, QColor(255, 0, 0)));
  c.insertText(QStringLiteral(" 123 italic underline strike"), Fmt("Arial", 12, "IUS", -1, Qt::black));
  SetPara(c, Qt::AlignLeft, {0, 0, 0});
  const auto para = [&c](const QString& text, const QTextCharFormat& f, Qt::Alignment a, textfmt::Indents in) {
    c.insertBlock();
    c.insertText(text, f);
    SetPara(c, a, in);
  };
  para(U("見出し"), Fmt(U("ＭＳ 明朝"), 72, "BU", 128, QColor(0x12, 0x34, 0x56)), Qt::AlignHCenter, {10, 0, 5});
  para(U("右寄せ {brace} back\\slash\ttab"), jp, Qt::AlignRight, {36, -18, 72});
  para({}, {}, Qt::AlignLeft, {0, 0, 0});
  c.setBlockCharFormat(Fmt("Arial", 20));  // an empty paragraph keeps its size
  para(U("箇条書き一"), jp, Qt::AlignLeft, {18, 18, 0});
  QTextList* list = c.createList(QTextListFormat::ListDisc);
  para(U("箇条書き二"), jp, Qt::AlignLeft, {18, 18, 0});
  list->add(c.block());
  para(QStringLiteral("between lists"), Fmt("Courier New", 9), Qt::AlignLeft, {0, 0, 0});
  para(U("次のリスト"), jp, Qt::AlignLeft, {0, 0, 0});
  c.createList(QTextListFormat::ListDisc);
}

}  // namespace

class TestRtf : public QObject {
  Q_OBJECT

 private slots:
  void richEditSample();
  void listsTablesFieldsPictures();
  void paragraphProperties();

  void looksLikeRtf() {
    QVERIFY(rtf::LooksLikeRtf("{\\rtf1\\ansi x}"));
    QVERIFY(rtf::LooksLikeRtf("\xEF\xBB\xBF \r\n\t{\\rtf1}"));
    for (const char* no : {"hello {\\rtf1}", "{\\rt", "", "{\\pict}"}) QVERIFY2(!rtf::LooksLikeRtf(no), no);
  }

  void roundTripText() {
    const QString text = U("「注記一覧」記載例文\n\n半角ｶﾀｶﾅ、全角カタカナ、ひらがな、漢字、①㈱～\n"
                           " leading space, 123 digits, -dash, \\ { } ; and a\ttab\n"
                           "not in CP932: é ß € 😀 한국어\n\x01\x1f\x7f\nline\u2028break\n");
    QTextDocument doc;
    doc.setPlainText(text);
    QTextCursor(&doc).insertText(QString(QChar(0)) + QChar(0x0B));
    const QByteArray rtf = rtf::Write(&doc);
    for (char ch : rtf) QVERIFY2(uchar(ch) < 0x80, "RTF output must be 7-bit");
    // NUL comes back as U+FFFD, a vertical tab as the line break it stands for.
    QCOMPARE(Text(*Read(rtf)), QString(QChar(0xFFFD)) + QChar(0x2028) + text);
  }

  void roundTripAttributes() {
    QTextDocument doc;
    BuildRichDocument(doc);
    const auto back = Read(rtf::Write(&doc));
    QCOMPARE(Describe(*back), Describe(doc));
    QCOMPARE(back->begin().next().next().next().charFormat().fontPointSize(), 20.0);
    QCOMPARE(rtf::Write(back.get()), rtf::Write(&doc));  // written again, nothing drifts
  }

  // The bytes other readers depend on. Readers that take a list paragraph's
  // indents from its list find them there: a list for each indent.
  void writerOutput() {
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextList* list = nullptr;
    for (const textfmt::Indents in : {textfmt::Indents{18, 18, 0}, {18, 18, 0}, {36, -18, 0}}) {
      if (list) c.insertBlock();
      c.insertText(QStringLiteral("Latin"), Fmt("Arial", 12));
      SetPara(c, Qt::AlignLeft, in);
      if (list) list->add(c.block());
      else list = c.createList(QTextListFormat::ListDisc);
    }
    c.movePosition(QTextCursor::Start);
    c.insertText(U("あｱé"), Fmt(U("ＭＳ 明朝"), 12, "", 128));
    c.insertText(U("和文"), Fmt("IPAMincho", 12));
    const QByteArray rtf = rtf::Write(&doc);
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg932\\deff0"));
    for (const char* part : {
             "\\fcharset128\\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}",  // name in CP932
             "\\fcharset128 IPAMincho;",  // Japanese text in a font without a charset: Shift-JIS
             "\\fcharset0 Arial;",
             // \uN with its CP932 bytes; the skip count follows the fallback's length.
             "\\uc2\\u12354\\'82\\'a0", "\\uc1\\u-143\\'b1", "\\u233\\'3f",
             // Bullets three ways: a Word 97 list, the older \pn numbering, and the
             // marker as text in \listtext for readers with neither.
             "{\\*\\listtable{\\list\\listtemplateid1\\listsimple{\\listlevel\\levelnfc23",
             "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}",
             "{\\listtext\\pard\\plain\\f4\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf4", "\\ls1\\ilvl0",
             "\\fi-360\\li720\\lin720}{\\listname ;}\\listid1}", "\\fi360\\li360\\lin360}{\\listname ;}\\listid2}",
             // The East Asian font of a run is its font; \loch last, so a reader
             // left in double-byte mode takes the next \f for Latin text again.
             "\\dbch\\af1\\loch\\f1", "\\dbch\\af3\\loch\\f3"})
      QVERIFY2(rtf.contains(part), part);
    QCOMPARE(rtf.count("\\ls2\\ilvl0"), 1);
    QCOMPARE(Describe(*Read(rtf)).filter(QRegularExpression("^P")), Describe(doc).filter(QRegularExpression("^P")));
  }

  // Each input's text, and what the document could not hold of it.
  void readsWhatItCan_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("lost");  // what the document could not hold, as the save question names it
    const int depth = 100000;  // read without recursion
    const QByteArray deep(depth, '{'), up(depth, '}');
    const QString box = U("テキストボックス 1 個");
    const QByteArray sjisFont = "{\\rtf1\\ansicpg932{\\fonttbl{\\f0\\fcharset128 G;}}\\f0 ";
    struct Case { const char* name; QByteArray rtf; QString text; QString lost = {}; };
    const QList<Case> cases = {
        // The last \par closes the last paragraph; it adds no empty one.
        {"final par", "{\\rtf1 a\\par}", "a"}, {"two pars", "{\\rtf1 a\\par\\par}", "a\n"},
        {"only par", "{\\rtf1 \\par}", ""},
        // \uc0 skips nothing; \uc2 ends with its group; a skipped control word
        // counts one; a group end stops the skip.
        {"skip counts", "{\\rtf1 \\uc0\\u12354 x{\\uc2\\u12356\\'82\\'a2y}\\u12358 z\\uc2\\u12360\\par ab{\\u12362 }c}",
         U("あxいyうzえbおc")},
        {"above 32767, unsigned", "{\\rtf1\\uc1 \\u35486?\\u-30050?}", U("語語")},
        {"surrogates", "{\\rtf1\\uc1 \\u-10179?\\u-8704?|\\u-10179?x|\\u-8704?}", U("😀|\uFFFDx|\uFFFD")},
        // Unescaped Shift-JIS: a trail byte 0x5C starts no control word.
        {"raw shift-jis", sjisFont + "\x83\x5c\x83\x74\x83\x67 \x95\x5c\x8e\xa6\\par}", U("ソフト 表示")},
        {"unbalanced open", "{\\rtf1 one{\\b two{\\i three", "onetwothree"},
        {"extra close", "{\\rtf1 one}}}two}", "one"}, {"close first", "}}{\\rtf1 one}", "one"},
        {"huge bin", "{\\rtf1 a\\bin99999999999999999999 bcd}", "a"}, {"negative bin", "{\\rtf1 a\\bin-5 bcd}", "abcd"},
        {"quote half", "{\\rtf1 a\\'4", "a\x04"}, {"quote not hex", "{\\rtf1 a\\'zz}", "azz"},
        {"lead byte alone", sjisFont + "a\\'82}", U("a\uFFFD")},
        {"u too big", "{\\rtf1 \\u99999 a\\u-99999 b\\u65536 c}", U("\uFFFD\uFFFD\uFFFD")},
        {"uc huge", "{\\rtf1\\uc999999999 \\u12354 abcdefghijklmnopqrstuvwxyz}", U("あqrstuvwxyz")},
        {"backslash at end", "{\\rtf1 a\\", "a"}, {"word at end", "{\\rtf1 a\\pa", "a"},
        {"long word", "{\\rtf1 a\\" + QByteArray(100000, 'x') + "1 b}", "ab"},
        {"star outside group", "{\\rtf1 \\*\\foo a}", "a"}, {"destination at top", "{\\rtf1 \\pict a}", "a"},
        {"nul bytes", QByteArray("{\\rtf1 a\0b\\'00c}", 16), "abc"},
        {"not rtf", "plain text", "plain text"}, {"nothing", "", ""},
        {"font table never closed", "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Times", ""},
        {"colours past the table", "{\\rtf1{\\colortbl;\\red9;}\\cf99 a\\cf-1 b}", "ab"},
        {"deep", "{\\rtf1 top" + deep + "\\b deep" + up + " back\\par}", "topdeep back"},
        {"deep skipped", "{\\rtf1 a{\\*\\x" + deep + "hidden" + up + "}b}", "ab"},
        {"deep unclosed", "{\\rtf1 x" + deep + "y", "xy"},
        // Cocoa's: font table entries without braces; bytes in a font's own code page
        // whatever \ansicpg says; a backslash before a line break ends the paragraph.
        {"font's code page",
         "{\\rtf1\\ansicpg1252{\\fonttbl\\f0\\fcharset128 H;\\f1\\fcharset0 L;}\\f0 \\'93\\'fa\\f1 caf\\'e9}",
         U("日café")},
        {"backslash before a line break", "{\\rtf1 a\\\nb\\\n}", "a\nb"},
        {"a section break ends the paragraph", "{\\rtf1 one\\sect two\\par\\sect\\sectd three}", "one\ntwo\nthree"},
        // The shape's properties and its fallback drawing hold the same words: read once.
        {"text box at its anchor", "{\\rtf1 before{\\shp{\\*\\shpinst\\shpleft0{\\sp{\\sn shapeType}{\\sv 202}}"
         "{\\sp{\\sn wzName}{\\sv Text Box 1}}{\\shptxt \\pard box one\\par box two\\par}}{\\shprslt{\\*\\do"
         "\\dobxcolumn\\dptxbx{\\dptxbxtext box one\\par box two\\par}}}}after\\par}",
         "before\nbox one\nbox two\nafter", box},
        {"box text without a final mark", "{\\rtf1 a{\\shp{\\*\\shpinst{\\shptxt inside}}}b}", "a\ninside\nb", box},
        {"shapes of a group, in order", "{\\rtf1 {\\shpgrp{\\*\\shpinst{\\sp{\\sn x}{\\sv 1}}}{\\shp{\\*\\shpinst"
         "{\\shptxt first\\par}}}{\\shp{\\*\\shpinst{\\shptxt second\\par}}}}end}", "first\nsecond\nend",
         U("テキストボックス 2 個")},
        {"old drawing object", "{\\rtf1 a\\par{\\*\\do\\dobxcolumn\\dptxbx{\\dptxbxtext drawn\\par}\\dpx0}b}",
         "a\ndrawn\nb", box},
        {"picture shape adds no text", "{\\rtf1 a{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv {\\pict\\pngblip 00}}}}"
         "{\\shprslt {\\pict 00}}}b}", "ab", U("図 1 個")},
        // 漢字 with the ruby るび, as Word writes it: switches, pieces in groups, Shift-JIS.
        {"ruby keeps its base", "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 M;}}\\f0 {\\field{\\*\\fldinst "
         "{EQ \\\\* jc2 \\\\* \"Font:M\" \\\\* hps10 \\\\o\\\\ad(\\\\s\\\\up 9(}{\\'82\\'e9\\'82\\'d1}"
         "{),\\'8a\\'bf\\'8e\\'9a)}}{\\fldrslt }}\\'82\\'cc\\par}", U("漢字の"), U("ルビ 1 個")},
        {"ruby base with an escaped comma",
         "{\\rtf1 {\\field{\\*\\fldinst EQ \\\\o(\\\\s\\\\up 5(r),a\\\\,b)}{\\fldrslt }}}", "a,b", U("ルビ 1 個")},
        {"ruby field with a result shows the result",
         "{\\rtf1 {\\field{\\*\\fldinst EQ \\\\o\\\\ac(\\\\s\\\\up 5(r),b)}{\\fldrslt shown}}}", "shown", U("ルビ 1 個")},
        {"other EQ field without a result", "{\\rtf1 a{\\field{\\*\\fldinst EQ \\\\f(1,2)}{\\fldrslt }}b}", "ab"},
        // Counted once: a picture and its alternatives, an object and its picture,
        // a shape with its fallback drawing; nothing inside what is skipped.
        {"a picture with its alternative is one",
         "{\\rtf1 {\\pict\\wmetafile8 00}{\\*\\shppict{\\pict\\pngblip 00}}{\\nonshppict{\\pict 00}}}", "", U("図 2 個")},
        {"notes, comments, headers and footers",
         "{\\rtf1 {\\header h}{\\footerl f}a{\\footnote\\pard n}b{\\*\\atnid x}{\\*\\annotation c}{\\footnote m}}",
         "ab", U("脚注 2 個、コメント 1 個、ヘッダー・フッター 2 個")},
        {"an object and its picture are one", "{\\rtf1 {\\object\\objemb{\\*\\objclass Excel.Sheet}{\\*\\objdata 0102}"
         "{\\result{\\*\\shppict{\\pict 00}}}}}", "", U("オブジェクト 1 個")},
        {"shapes by what they are", "{\\rtf1 {\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv{\\pict 00}}}}"
         "{\\shprslt{\\pict 00}}}{\\shp{\\*\\shpinst{\\sp{\\sn shapeType}{\\sv 1}}}}{\\shp{\\*\\shpinst{\\shptxt t}}"
         "{\\shprslt{\\*\\do\\dptxbx{\\dptxbxtext t}}}}{\\*\\do\\dprect}}", "t", U("図 1 個、図形 2 個、テキストボックス 1 個")},
        {"inside what is skipped, nothing more",
         "{\\rtf1 {\\header {\\pict 00}{\\footnote x}}{\\*\\listpicture{\\pict 00}}}", "", U("ヘッダー・フッター 1 個")},
    };
    for (const Case& k : cases) QTest::newRow(k.name) << k.rtf << k.text << k.lost;
  }

  void readsWhatItCan() {
    QFETCH(QByteArray, rtf);
    QTextDocument doc;
    doc.setPlainText("old content\nreplaced");
    const auto lost = rtf::Read(rtf, &doc);
    QTEST(Text(doc), "text");
    QTEST(lost.Describe(), "lost");
  }

  // The font's code page over \ansicpg, a Shift-JIS font name and 1252 text are the writer samples'.
  void corpus() {
    QDir dir(QStringLiteral(SORAMEMO_CORPUS "/rtf-peer"));
    const QStringList files = dir.entryList({"*.rtf"}, QDir::Files, QDir::Name);
    QVERIFY(files.size() > 50);
    QStringList changed;  // by our own writer
    for (const QString& name : files)
      if (const auto doc = Read(Corpus(name)); Text(*Read(rtf::Write(doc.get()))) != Text(*doc)) changed << name;
    QCOMPARE(changed, QStringList());
    QTextDocument doc;
    rtf::Read(Corpus("RtfParserTest_fail_1.rtf"), &doc);
    QCOMPARE(Text(doc), U("Hello world in {RTF}…\n"));
    rtf::Read(Corpus("RtfInterpreterTest_16.rtf"), &doc);
    QCOMPARE(Text(doc), U("これはテストです。\n\nThe sentence above says that “This is just a test” in Japanese.\n"));
  }

  // Double-byte and Latin text take their own (associated) properties; colours
  // index the table, whose first entry AbiWord writes as black, not "auto".
  void runAttributes_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("runs");
    const QByteArray head = "{\\rtf1\\ansi{\\fonttbl{\\f0 Latin;}{\\f1\\fcharset128 Mincho;}{\\f2 Arabic;}}\\f0\\fs24\\uc0 ";
    QTest::newRow("double-byte text") << head + "{\\dbch\\ab\\afs40\\af1 \\u26085\\u26412\\u35486}}"
                                      << U("[Mincho|20|auto|B|cs128] 日本語");
    QTest::newRow("Latin text beside it keeps the run's")
        << head + "{\\dbch\\af1\\afs40 abc\\u26085}}" << U("[Latin|12|auto||cs-] abc / [Mincho|20|auto||cs128] 日");
    QTest::newRow("complex-script properties stay off Japanese")
        << head + "{\\rtlch\\ab\\afs40\\af2 \\ltrch\\u26085 x}}" << U("[Latin|12|auto||cs-] 日x");
    QTest::newRow("punctuation follows the declared class")
        << head + "{\\dbch\\af1 !}{\\dbch\\af1\\loch !}}" << U("[Mincho|12|auto||cs128] ! / [Latin|12|auto||cs-] !");
    QTest::newRow("colour table without the auto entry")
        << QByteArray("{\\rtf1{\\colortbl\\red0\\green0\\blue0;\\red0\\green0\\blue255;}\\cf0 a\\cf1 b}")
        << QStringLiteral("[|12|#000000||cs-] a / [|12|#0000ff||cs-] b");
    QTest::newRow("a size past Qt's limit held at it")
        << QByteArray("{\\rtf1\\fs99999999 a}") << QStringLiteral("[|1638|auto||cs-] a");
    QTest::newRow("plain ends them") << head + "{\\dbch\\af1\\plain \\u26085}}" << U("[Latin|12|auto||cs-] 日");
    // As this program wrote fonts before: \f while in double-byte mode.
    QTest::newRow("a font after dbch is the run's")
        << head + "\\f1\\dbch\\af1 \\u26085 a\\f0\\dbch\\af0 b}"
        << U("[Mincho|12|auto||cs128] 日a / [Latin|12|auto||cs-] b");
  }

  void runAttributes() {
    QFETCH(QByteArray, rtf);
    QTEST(Describe(*Read(rtf)).mid(1).join(" / "), "runs");
  }

  // The converter names what the output lacks, and converts all the same (its exit code).
  void converterWarnsOfLosses() {
    QTemporaryDir dir;
    QFile in(dir.filePath("in.rtf"));
    QVERIFY(in.open(QIODevice::WriteOnly));
    in.write("{\\rtf1 text{\\pict 00}{\\footnote n}{\\footnote m}\\par}");
    in.close();
    QProcess p;
    p.start(QStringLiteral(SORAMEMO_BIN_DIR "/soramemo-convert"), {in.fileName(), dir.filePath("out.rtf")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(err.contains(U("図 1 個、脚注 2 個")), qPrintable(err));
  }
};

// A Japanese rich-edit control's output: a Shift-JIS font name and text, \pn bullets, colours.
void TestRtf::richEditSample() {
  const QString gothic = U("ＭＳ Ｐゴシック");
  const QByteArray rtf = R"rtf({\rtf1\ansi\ansicpg932\deff0\deflang1033\deflangfe1041{\fonttbl{\f0\fswiss\fprq2\fcharset128 \'82\'6c\'82\'72 \'82\'6f\'83\'53\'83\'56\'83\'62\'83\'4e;}{\f1\froman\fprq2\fcharset0 Times New Roman;}{\f2\fnil\fcharset2 Symbol;}}
{\colortbl ;\red255\green0\blue0;\red0\green0\blue255;}
{\*\generator Msftedit 5.41.21.2510;}\viewkind4\uc1\pard\lang1041\f0\fs20\'93\'fa\'96\'7b\'8c\'ea\'82\'cc\'95\'b6\'8f\'cd\par
\pard\qc\cf1\b\fs28\'8c\'a9\'8f\'6f\'82\'b5\cf0\b0\fs20\par
\pard{\pntext\f2\'b7\tab}{\*\pn\pnlvlblt\pnf2\pnindent0{\pntxtb\'b7}}\fi-360\li720\f1 English \f0\'89\'d3\'8f\'f0\'8f\'91\'82
\'ab\par
{\pntext\f2\'b7\tab}\cf2\ul\i\'82\'c6\'82\'e0\'82\'c9\cf0\ulnone\i0\par
\pard\'83\'5c\'83\'74\'83\'67 \'95\'5c\'8e\'a6\par
}
)rtf";
  QCOMPARE(Describe(*Read(rtf)),
           QStringList({"P1 0/0/0", "[" + gothic + "|10|auto||cs128] " + U("日本語の文章"), "P4 0/0/0",
                        "[" + gothic + "|14|#ff0000|B|cs128] " + U("見出し"), "P1 18/18/0 L1",
                        "[Times New Roman|10|auto||cs-] English ", "[" + gothic + "|10|auto||cs128] " + U("箇条書き"),
                        "P1 18/18/0 L1", "[" + gothic + "|10|#0000ff|IU|cs128] " + U("ともに"), "P1 0/0/0",
                        "[" + gothic + "|10|auto||cs128] " + U("ソフト 表示")}));
}

void TestRtf::listsTablesFieldsPictures() {
  const QByteArray rtf = R"rtf({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0 Times New Roman;}{\f1\fcharset2 Symbol;}}
{\*\listtable{\list\listtemplateid1\listsimple{\listlevel\levelnfc23\levelnfcn23\leveljc0\levelfollow0\levelstartat1{\leveltext\'01\u-3913 ?;}{\levelnumbers;}\f1\fi-360\li720}{\listname ;}\listid100}
{\list\listtemplateid2{\listlevel\levelnfc0\levelnfcn0{\leveltext\'02\'00.;}{\levelnumbers\'01;}\fi-360\li720}\listid200}}
{\*\listoverridetable{\listoverride\listid100\listoverridecount0\ls1}{\listoverride\listid200\listoverridecount0\ls2}}
{\stylesheet{\s0 Normal style text;}}{\info{\title Secret title}{\author Me}}
{\header \pard Header text\par}{\footer Footer text\par}
\pard\plain {\listtext\pard\plain\f1 \'b7\tab}\ls1\ilvl0\fi-360\li720 first bullet\par
{\listtext\pard\plain\f1 \'b7\tab}second bullet\par
\pard {\listtext\pard\plain 1.\tab}\ls2\fi-360\li720 numbered\par
\pard\plain\trowd\cellx2000\cellx4000\pard\intbl A1\cell B1\cell\row
\trowd\cellx2000\cellx4000\pard\intbl A2\cell\cell\row
\pard See {\field{\*\fldinst HYPERLINK "http://example.com"}{\fldrslt link text}} here{\*\bkmkstart x}{\*\unknowndest hidden}{\v hidden text}.\par
{\pict\pngblip\picw10\pich10 89504e47\bin5 }}}}}0d0a}after{\*\shppict{\pict\wmetafile8 0102}}{\nonshppict{\pict\wmetafile8 0304}}\par
{\footnote note}{\annotation remark}{\*\themedata 504b}{\comment c}last\par
}
)rtf";
  const auto doc = Read(rtf);
  QCOMPARE(Text(*doc), QStringLiteral("first bullet\nsecond bullet\n1.\tnumbered\nA1\nB1\nA2\n\n"
                                     "See link text here.\nafter\nlast"));
  QCOMPARE(Describe(*doc).filter(QRegularExpression("^P")).mid(0, 3).join(' '),
           QStringLiteral("P1 18/18/0 L1 P1 18/18/0 L1 P1 18/18/0"));  // two bullets, then numbers as text
  // Every truncation of it loads what it holds, without a crash.
  for (qsizetype n = 0; n < rtf.size(); ++n) Read(rtf.left(n));
}

void TestRtf::paragraphProperties() {
  const QByteArray rtf = R"rtf({\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}
\pard\qc centre\par \pard\qr right\par \pard\qj justify\par \pard\fi-360\li720\ri144 hanging\par
\pard\li35\ri25 rounded\par \pard\fi200\li0\lin0\rin0 first line\par {\pard\qc grouped\par}after group\par
\pard plain}
)rtf";
  QStringList paras;
  for (const QString& line : Describe(*Read(rtf)))
    if (line.startsWith('P')) paras << line;
  QCOMPARE(paras.join(' '), QStringLiteral("P4 0/0/0 P2 0/0/0 P8 0/0/0 P1 18/18/7 P1 2/0/1 P1 10/-10/0 P4 0/0/0 "
                                           "P1 10/-10/0 P1 0/0/0"));
}

QTEST_MAIN(TestRtf)
#include "test_rtf.moc"

