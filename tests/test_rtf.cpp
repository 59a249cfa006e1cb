#include <QtTest>

#include <QDir>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include "platform/Rtf.h"
#include "platform/TextDecode.h"
#include "platform/TextFormat.h"

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Block texts joined by "\n".
QString Text(const QTextDocument& doc) {
  QStringList parts;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) parts << b.text();
  return parts.join(QChar('\n'));
}

QStringList Blocks(const QTextDocument& doc) {
  QStringList parts;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) parts << b.text();
  return parts;
}

QString Family(const QTextCharFormat& f) {
  const QStringList l = f.property(QTextFormat::FontFamilies).toStringList();
  return l.isEmpty() ? QString() : l.first();
}

// Every attribute the program can set on a run, as one comparable string.
QString Attrs(const QTextCharFormat& f) {
  const QString color = f.foreground().style() == Qt::NoBrush
                            ? QStringLiteral("auto")
                            : f.foreground().color().name();
  const QString charset = f.hasProperty(textfmt::CharsetProperty)
                              ? QString::number(f.intProperty(textfmt::CharsetProperty))
                              : QStringLiteral("-");
  return QStringLiteral("%1|%2|%3|%4%5%6%7|cs%8")
      .arg(Family(f))
      .arg(f.fontPointSize())
      .arg(color)
      .arg(f.fontWeight() >= QFont::Bold ? "B" : "")
      .arg(f.fontItalic() ? "I" : "")
      .arg(f.fontUnderline() ? "U" : "")
      .arg(f.fontStrikeOut() ? "S" : "")
      .arg(charset);
}

// The document as runs of equal attributes and paragraphs with their
// alignment, indents and list membership (lists numbered in order of appearance).
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
    out << QStringLiteral("P align=%1 indents=%2/%3/%4 list=%5")
               .arg(int(bf.alignment() & Qt::AlignHorizontal_Mask))
               .arg(in.first)
               .arg(in.left)
               .arg(in.right)
               .arg(list);
    QString text, attrs;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment fr = it.fragment();
      const QString a = Attrs(fr.charFormat());
      if (a != attrs && !text.isEmpty()) {
        out << QStringLiteral("  [%1] %2").arg(attrs, text);
        text.clear();
      }
      attrs = a;
      text += fr.text();
    }
    if (!text.isEmpty()) out << QStringLiteral("  [%1] %2").arg(attrs, text);
  }
  return out;
}

QTextCharFormat Fmt(const QString& family, double size, bool b = false, bool i = false,
                    bool u = false, bool s = false) {
  QTextCharFormat f;
  f.setFontFamilies({family});
  f.setFontPointSize(size);
  f.setFontWeight(b ? QFont::Bold : QFont::Normal);
  f.setFontItalic(i);
  f.setFontUnderline(u);
  f.setFontStrikeOut(s);
  return f;
}

void SetPara(QTextCursor& c, Qt::Alignment a, textfmt::Indents in) {
  QTextBlockFormat bf;
  bf.setAlignment(a);
  textfmt::SetIndents(bf, in);
  c.setBlockFormat(bf);
}

QByteArray Corpus(const QString& name) {
  QFile f(QStringLiteral(SORAMEMO_CORPUS "/rtf-peer/") + name);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

// A document with every attribute the program can set, in Japanese and ASCII.
void BuildRichDocument(QTextDocument& doc) {
  const QString mincho = U("ＭＳ 明朝");
  QTextCursor c(&doc);
  QTextCharFormat jp = Fmt(mincho, 10.5);
  jp.setProperty(textfmt::CharsetProperty, 128);
  c.insertText(U("日本語の本文、ｶﾀｶﾅと"), jp);
  c.insertText(QStringLiteral(" ASCII text"), Fmt("Arial", 12));
  QTextCharFormat red = Fmt("Arial", 12, true);
  red.setForeground(QColor(255, 0, 0));
  c.insertText(QStringLiteral("bold red"), red);
  QTextCharFormat black = Fmt("Arial", 12, false, true, true, true);
  black.setForeground(QColor(0, 0, 0));
  c.insertText(QStringLiteral(" 123 italic underline strike"), black);
  SetPara(c, Qt::AlignLeft, {0, 0, 0});

  c.insertBlock();
  QTextCharFormat title = Fmt(mincho, 72, true, false, true);
  title.setProperty(textfmt::CharsetProperty, 128);
  title.setForeground(QColor(0x12, 0x34, 0x56));
  c.insertText(U("見出し"), title);
  SetPara(c, Qt::AlignHCenter, {10, 0, 5});

  c.insertBlock();
  c.insertText(U("右寄せ {brace} back\\slash\ttab"), jp);
  SetPara(c, Qt::AlignRight, {36, -18, 72});

  c.insertBlock();
  SetPara(c, Qt::AlignLeft, {0, 0, 0});
  c.setBlockCharFormat(Fmt("Arial", 20));  // an empty paragraph keeps its size

  QTextListFormat lf;
  lf.setStyle(QTextListFormat::ListDisc);
  lf.setIndent(1);
  c.insertBlock();
  c.insertText(U("箇条書き一"), jp);
  SetPara(c, Qt::AlignLeft, {18, 18, 0});
  c.createList(lf);
  c.insertBlock();
  c.insertText(U("箇条書き二"), jp);
  SetPara(c, Qt::AlignLeft, {18, 18, 0});
  doc.begin().next().next().next().next().textList()->add(c.block());

  c.insertBlock();
  c.insertText(QStringLiteral("between lists"), Fmt("Courier New", 9));
  SetPara(c, Qt::AlignLeft, {0, 0, 0});

  c.insertBlock();
  c.insertText(U("次のリスト"), jp);
  SetPara(c, Qt::AlignLeft, {0, 0, 0});
  c.createList(lf);
}

}  // namespace

class TestRtf : public QObject {
  Q_OBJECT
 private slots:
  void looksLikeRtf_data();
  void looksLikeRtf();
  void roundTripText();
  void roundTripAttributes();
  void writerOutput();
  void charsetFollowsTheFont();
  void richEditSample();
  void rawShiftJisBytes();
  void libreOfficeSample();
  void cocoaSample();
  void abiWordSample();
  void listsTablesFieldsPictures();
  void paragraphProperties();
  void finalParagraphMark();
  void unicodeSkipCounts();
  void corpusLoads();
  void corpusJapanese();
  void badInput();
  void deepNesting();
  void randomBytesNeverCrash();
};

void TestRtf::looksLikeRtf_data() {
  QTest::addColumn<QByteArray>("data");
  QTest::addColumn<bool>("rtf");
  QTest::newRow("plain") << QByteArray("{\\rtf1\\ansi x}") << true;
  QTest::newRow("bom and space") << QByteArray("\xEF\xBB\xBF \r\n\t{\\rtf1}") << true;
  QTest::newRow("text") << QByteArray("hello {\\rtf1}") << false;
  QTest::newRow("short") << QByteArray("{\\rt") << false;
  QTest::newRow("empty") << QByteArray() << false;
  QTest::newRow("group") << QByteArray("{\\pict}") << false;
}

void TestRtf::looksLikeRtf() {
  QFETCH(QByteArray, data);
  QFETCH(bool, rtf);
  QCOMPARE(rtf::LooksLikeRtf(data), rtf);
}

void TestRtf::roundTripText() {
  const QStringList paragraphs = {
      U("「注記一覧」記載例文"),
      QString(),
      U("半角ｶﾀｶﾅ、全角カタカナ、ひらがな、漢字、①㈱～"),
      QStringLiteral(" leading space, 123 digits, -dash, \\ { } ; and a\ttab"),
      U("not in CP932: é ß € 😀 한국어"),
      QString(QChar(0x01)) + QChar(0x1F) + QChar(0x7F),
      U("line") + QChar(0x2028) + U("break"),
      QString(),
  };
  QTextDocument doc;
  doc.setPlainText(paragraphs.join(QChar('\n')));
  const QByteArray rtf = rtf::Write(&doc);
  for (char ch : rtf) QVERIFY2(uchar(ch) < 0x80, "RTF output must be 7-bit");
  QTextDocument back;
  rtf::Read(rtf, &back);
  QCOMPARE(Blocks(back), paragraphs);

  // A real Japanese text: every character and line comes back.
  QFile f(QStringLiteral(SORAMEMO_CORPUS "/text/chukiichiran_kinyurei.sjis.txt"));
  if (!f.open(QIODevice::ReadOnly)) QSKIP("corpus text not present");
  QTextDocument corpus;
  corpus.setPlainText(textdecode::Decode(f.readAll()));
  rtf::Read(rtf::Write(&corpus), &back);
  QCOMPARE(back.blockCount(), corpus.blockCount());
  QCOMPARE(Text(back), Text(corpus));
}

void TestRtf::roundTripAttributes() {
  QTextDocument doc;
  BuildRichDocument(doc);
  const QStringList before = Describe(doc);
  QTextDocument back;
  rtf::Read(rtf::Write(&doc), &back);
  QCOMPARE(Describe(back), before);
  QCOMPARE(Text(back), Text(doc));
  // The empty paragraph keeps the size it was given.
  QCOMPARE(back.begin().next().next().next().charFormat().fontPointSize(), 20.0);
  // Written twice, the same bytes: nothing drifts.
  QCOMPARE(rtf::Write(&back), rtf::Write(&doc));
}

void TestRtf::writerOutput() {
  QTextDocument doc;
  QTextCursor c(&doc);
  QTextCharFormat f = Fmt(U("ＭＳ 明朝"), 12);
  f.setProperty(textfmt::CharsetProperty, 128);
  c.insertText(U("あｱé"), f);
  QTextListFormat lf;
  lf.setStyle(QTextListFormat::ListDisc);
  c.createList(lf);
  const QByteArray rtf = rtf::Write(&doc);
  QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg932\\deff0"));
  // The font name in CP932 under \fcharset128.
  QVERIFY2(rtf.contains("\\fcharset128\\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}"), rtf);
  // \uN with its CP932 bytes; the skip count follows the fallback's length.
  QVERIFY2(rtf.contains("\\uc2\\u12354\\'82\\'a0"), rtf);
  QVERIFY2(rtf.contains("\\uc1\\u-143\\'b1"), rtf);
  QVERIFY2(rtf.contains("\\u233\\'3f"), rtf);
  QVERIFY(rtf.contains("{\\colortbl ;"));
  // Bullets three ways: a Word 97 list, the older \pn numbering, and the
  // marker as text in \listtext for readers with neither.
  QVERIFY2(rtf.contains("{\\*\\listtable{\\list\\listtemplateid1\\listsimple{\\listlevel\\levelnfc23"), rtf);
  QVERIFY(rtf.contains("{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}"));
  QVERIFY(rtf.contains("{\\listtext\\pard\\plain\\f2\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf2"));
  QVERIFY(rtf.contains("\\ls1\\ilvl0"));
  // The East Asian font of a run is its font.
  QVERIFY(rtf.contains("\\f1\\dbch\\af1"));
  QVERIFY(rtf.endsWith('}'));
}

void TestRtf::charsetFollowsTheFont() {
  // Runs with no charset: a font holding Japanese text is written as a
  // Shift-JIS font and reads back so; an ASCII-only font stays without charset.
  QTextDocument doc;
  QTextCursor c(&doc);
  c.insertText(U("和文"), Fmt("IPAMincho", 12));
  c.insertText(QStringLiteral("Latin"), Fmt("Arial", 12));
  const QByteArray rtf = rtf::Write(&doc);
  QVERIFY2(rtf.contains("\\fcharset128 IPAMincho;"), rtf);
  QVERIFY2(rtf.contains("\\fcharset0 Arial;"), rtf);
  QTextDocument back;
  rtf::Read(rtf, &back);
  QCOMPARE(Describe(back).mid(1),
           QStringList({"  [IPAMincho|12|auto||cs128] " + U("和文"), "  [Arial|12|auto||cs-] Latin"}));
}

void TestRtf::richEditSample() {
  // As a rich-edit control on a Japanese system writes it.
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
  QTextDocument doc;
  rtf::Read(rtf, &doc);
  const QString gothic = U("ＭＳ Ｐゴシック");
  QCOMPARE(Describe(doc),
           QStringList({
               "P align=1 indents=0/0/0 list=0",
               "  [" + gothic + "|10|auto||cs128] " + U("日本語の文章"),
               "P align=4 indents=0/0/0 list=0",
               "  [" + gothic + "|14|#ff0000|B|cs128] " + U("見出し"),
               "P align=1 indents=18/18/0 list=1",
               "  [Times New Roman|10|auto||cs-] English ",
               "  [" + gothic + "|10|auto||cs128] " + U("箇条書き"),
               "P align=1 indents=18/18/0 list=1",
               "  [" + gothic + "|10|#0000ff|IU|cs128] " + U("ともに"),
               "P align=1 indents=0/0/0 list=0",
               "  [" + gothic + "|10|auto||cs128] " + U("ソフト 表示"),
           }));
}

void TestRtf::rawShiftJisBytes() {
  // Some writers put Shift-JIS bytes in the file unescaped; a trail byte of
  // 0x5C ("ソ", "表") must not start a control word.
  QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 Gothic;}}\\f0 ";
  rtf += "\x83\x5c\x83\x74\x83\x67 \x95\x5c\x8e\xa6\\par}";
  QTextDocument doc;
  rtf::Read(rtf, &doc);
  QCOMPARE(Text(doc), U("ソフト 表示"));
}

void TestRtf::libreOfficeSample() {
  const QByteArray rtf = R"rtf({\rtf1\ansi\deff4\adeflang1025
{\fonttbl{\f0\froman\fprq2\fcharset0 Times New Roman;}{\f1\froman\fprq2\fcharset2 Symbol;}{\f2\fswiss\fprq2\fcharset0 Arial;}{\f3\froman\fprq2\fcharset0 Liberation Serif{\*\falt Times New Roman};}{\f4\fnil\fprq2\fcharset0 Noto Sans CJK JP;}}
{\colortbl;\red0\green0\blue0;\red0\green0\blue255;}
{\stylesheet{\s0\snext0\rtlch\af4\afs24\alang1081 \ltrch\lang1033\langfe1041\hich\af3\loch\widctlpar\hyphpar0\ltrpar\cf0\f3\fs24\lang1033\kerning1\dbch\af4\langfe1041 Default Paragraph Style;}}
{\*\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}{\info{\creatim\yr2024\mo5\dy1\hr10\min0}{\revtim\yr2024\mo5\dy1\hr10\min5}{\printim\yr0\mo0\dy0\hr0\min0}}{\*\userprops}\deftab709
\hyphauto1\viewscale100\formshade\paperh16838\paperw11906\margl1134\margr1134\margt1134\margb1134\sectd\sbknone\sftnnar\saftnnrlc\sectunlocked1\pgwsxn11906\pghsxn16838\marglsxn1134\margrsxn1134\margtsxn1134\margbsxn1134\ftnbj\ftnstart1\ftnrstcont\ftnnar\aenddoc\aftnrstcont\aftnstart1\aftnnrlc\htmautsp
{\*\ftnsep\chftnsep}\pgndec\pard\plain \s0\widctlpar\hyphpar0\ltrpar\cf0\f3\fs24\lang1033\kerning1\dbch\af4\langfe1041\dbch\af4\afs24\alang1081\loch\f3\hich\af3\fs24\lang1033{\rtlch \ltrch\loch\uc2 \u12300\'81\'75\u27880\'92\'8d\u35352\'8b\'4c\u12301\'81\'76 ABC\u-30050\'8c\'ea}
\par \pard\plain \s0\widctlpar\hyphpar0\ltrpar\cf0\f3\fs24\lang1033\kerning1\dbch\af4\langfe1041\dbch\af4\afs24\alang1081\loch\f3\hich\af3\fs24\lang1033\qc{\b\cf2\rtlch \ltrch\loch\uc2 \u12354\'82\'a0\uc1 \u65393\'b1\u233\'e9}
\par }
)rtf";
  QTextDocument doc;
  rtf::Read(rtf, &doc);
  QCOMPARE(Blocks(doc), QStringList({U("「注記」 ABC語"), U("あｱé")}));
  QCOMPARE(Describe(doc).at(2), U("P align=4 indents=0/0/0 list=0"));
  QCOMPARE(Describe(doc).at(3), "  [Liberation Serif|12|#0000ff|B|cs-] " + U("あｱé"));

  // A plain-text import as LibreOffice 7.4 exports it here: \uc1 with '?'
  // fallbacks, code points above 32767 unsigned, runs in {\dbch} groups.
  const QByteArray text = R"rtf({\rtf1\ansi\deff3\adeflang1025
{\fonttbl{\f0\froman\fprq2\fcharset0 Times New Roman;}{\f1\froman\fprq2\fcharset2 Symbol;}{\f2\fswiss\fprq2\fcharset0 Arial;}{\f3\froman\fprq2\fcharset0 DejaVu Serif;}{\f4\fmodern\fprq1\fcharset0 DejaVu Sans Mono;}{\f5\fswiss\fprq2\fcharset0 DejaVu Sans;}{\f6\fnil\fprq2\fcharset0 DejaVu Sans;}{\f7\fmodern\fprq1\fcharset0 Noto Sans Mono;}}
{\colortbl;\red0\green0\blue0;\red0\green0\blue255;}
{\stylesheet{\s0\snext0\rtlch\af6\afs24\alang1081 \ltrch\lang1033\langfe2052\hich\af3\loch\nowidctlpar\hyphpar0\ltrpar\cf0\f3\fs24\lang1033\dbch\af6\langfe2052 Normal;}
{\s20\sbasedon0\snext20\rtlch\af4\afs20 \ltrch\hich\af4\loch\sb0\sa0\f4\fs20\dbch\af7 Preformatted Text;}
}{\*\generator LibreOffice/7.4.7.2$Linux_X86_64 LibreOffice_project/40$Build-2}{\info{\creatim\yr0\mo0\dy0\hr0\min0}}{\*\userprops}\deftab709
\hyphauto1\viewscale100
{\*\pgdsctbl
{\pgdsc0\pgdscuse451\pgwsxn11906\pghsxn16838\marglsxn1134\margrsxn1134\margtsxn1134\margbsxn1134\pgdscnxt0 Default Page Style;}}
\formshade\paperh16838\paperw11906\margl1134\margr1134\margt1134\margb1134\sectd\sbknone\pgndec\sftnnar\saftnnrlc\sectunlocked1\pgwsxn11906\pghsxn16838\marglsxn1134\margrsxn1134\margtsxn1134\margbsxn1134\ftnbj\ftnstart1\ftnrstcont\ftnnar\aenddoc\aftnrstcont\aftnstart1\aftnnrlc
{\*\ftnsep\chftnsep}\pgndec\pard\plain \s20\rtlch\af4\afs20 \ltrch\hich\af4\loch\sb0\sa0\f4\fs20\dbch\af7\ql\sb0\sa0\ltrpar{\dbch
\u12300\'3f\u26085\'3f\u26412\'3f\u35486\'3f\u12301\'3f}
\par \pard\plain \s20\rtlch\af4\afs20 \ltrch\hich\af4\loch\sb0\sa0\f4\fs20\dbch\af7\ql\sb0\sa0\ltrpar\loch

\par \pard\plain \s20\rtlch\af4\afs20 \ltrch\hich\af4\loch\sb0\sa0\f4\fs20\dbch\af7\ql\sb0\sa0\ltrpar{\loch
--- ASCII ---}{\dbch
\u12354\'3f}
\par }
)rtf";
  rtf::Read(text, &doc);
  QCOMPARE(Describe(doc), QStringList({
                              "P align=1 indents=0/0/0 list=0",
                              "  [DejaVu Sans Mono|10|auto||cs-] " + U("「日本語」"),
                              "P align=1 indents=0/0/0 list=0",
                              "P align=1 indents=0/0/0 list=0",
                              "  [DejaVu Sans Mono|10|auto||cs-] --- ASCII ---" + U("あ"),
                          }));
}

void TestRtf::cocoaSample() {
  const QByteArray rtf = R"rtf({\rtf1\ansi\ansicpg1252\cocoartf2639
\cocoatextscaling0\cocoaplatform0{\fonttbl\f0\fnil\fcharset128 HiraginoSans-W3;\f1\fswiss\fcharset0 Helvetica;}
{\colortbl;\red255\green255\blue255;\red251\green0\blue7;}
{\*\expandedcolortbl;;\cssrgb\c100000\c0\c0;}
\paperw11900\paperh16840\margl1440\margr1440\vieww11520\viewh8400\viewkind0
\pard\tx566\tx1133\tx1700\tx2267\tx2834\tx3401\tx3968\tx4535\tx5102\tx5669\tx6236\tx6803\pardirnatural\partightenfactor0

\f0\fs24 \cf0 \'93\'fa\'96\'7b\'8c\'ea
\f1 \cf2  and 
\f0 \uc0\u12354 \u12356 \cf0 \
\pard\tx566\pardirnatural\qc\partightenfactor0
\f1 \cf0 caf\'e9\
}
)rtf";
  QTextDocument doc;
  rtf::Read(rtf, &doc);
  QCOMPARE(Describe(doc), QStringList({
                              "P align=1 indents=0/0/0 list=0",
                              "  [HiraginoSans-W3|12|auto||cs128] " + U("日本語"),
                              "  [Helvetica|12|#fb0007||cs-]  and ",
                              "  [HiraginoSans-W3|12|#fb0007||cs128] " + U("あい"),
                              "P align=4 indents=0/0/0 list=0",
                              "  [Helvetica|12|auto||cs-] " + U("café"),
                          }));
}

void TestRtf::abiWordSample() {
  const QByteArray rtf = R"rtf({\rtf1\ansi\ansicpg1252\deff0{\fonttbl
{\f0\fnil\fcharset0\fprq2 Times New Roman;}
{\f1\fnil\fcharset128\fprq2 IPAMincho;}
{\f2\fnil\fcharset0\fprq2 Symbol;}}
{\colortbl\red0\green0\blue0;\red255\green255\blue255;\red0\green0\blue255;}
{\stylesheet{\s1\ql\li0\ri0\fi0\sb0\sa0\sl240\slmult1\widctlpar\cf0\f1\fs24\lang1041 Normal;}}
\kerning0\cf0\ftnbj\fet2\ftnstart1\ftnnar\aftnnar\ftnstart1\aftnstart1\aenddoc\revprop3{\*\rdf}{\info\uc1}\deftab720\viewkind1\paperw11905\paperh16837\margl1440\margr1440\widowctrl
\sectd\sbknone\colsx360\headery0\footery0\pgncont\ltrsect
\pard\plain\ltrpar\ql\s28\itap0{\s28\f1\fs24\lang1041{\*\listtag0}\uc0\u12371 \uc0\u12435 \uc0\u12395 \uc0\u12385 \uc0\u12399 }{\s28\f1\fs24\cf2\b\lang1041{\*\listtag0}Abi}{\s28\f1\fs24\lang1041{\*\listtag0}\par}
\pard\plain\ltrpar\qr\li1440\ri0\fi-720\s28\itap0{\s28\f1\fs24\lang1041{\*\listtag0}right}{\s28\f1\fs24\lang1041{\*\listtag0}\par}
}
)rtf";
  QTextDocument doc;
  rtf::Read(rtf, &doc);
  QCOMPARE(Describe(doc), QStringList({
                              "P align=1 indents=0/0/0 list=0",
                              "  [IPAMincho|12|#000000||cs128] " + U("こんにちは"),
                              "  [IPAMincho|12|#0000ff|B|cs128] Abi",
                              "P align=2 indents=36/36/0 list=0",
                              "  [IPAMincho|12|#000000||cs128] right",
                          }));
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
  QTextDocument doc;
  rtf::Read(rtf, &doc);
  QCOMPARE(Blocks(doc), QStringList({"first bullet", "second bullet", "1.\tnumbered", "A1", "B1",
                                     "A2", "", "See link text here.", "after", "last"}));
  const QTextList* bullets = doc.begin().textList();
  QVERIFY(bullets);
  QCOMPARE(doc.begin().next().textList(), bullets);
  QVERIFY(!doc.begin().next().next().textList());
  QCOMPARE(bullets->count(), 2);
}

void TestRtf::paragraphProperties() {
  const QByteArray rtf = R"rtf({\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}
\pard\qc centre\par
\pard\qr right\par
\pard\qj justify\par
\pard\fi-360\li720\ri144 hanging\par
\pard\li35\ri25 rounded\par
\pard\fi200\li0\lin0\rin0 first line\par
{\pard\qc grouped\par}
after group\par
\pard plain}
)rtf";
  QTextDocument doc;
  rtf::Read(rtf, &doc);
  QStringList paras;
  for (const QString& line : Describe(doc))
    if (line.startsWith('P')) paras << line;
  QCOMPARE(paras, QStringList({
                      "P align=4 indents=0/0/0 list=0",
                      "P align=2 indents=0/0/0 list=0",
                      "P align=8 indents=0/0/0 list=0",
                      "P align=1 indents=18/18/7 list=0",
                      "P align=1 indents=2/0/1 list=0",
                      "P align=1 indents=10/-10/0 list=0",
                      "P align=4 indents=0/0/0 list=0",
                      "P align=1 indents=10/-10/0 list=0",
                      "P align=1 indents=0/0/0 list=0",
                  }));
}

void TestRtf::finalParagraphMark() {
  // The last \par closes the last paragraph; it adds no empty one.
  struct Case {
    QByteArray rtf;
    QStringList blocks;
  };
  const QList<Case> cases = {
      {"{\\rtf1 a}", {"a"}},
      {"{\\rtf1 a\\par}", {"a"}},
      {"{\\rtf1 a\\par\\par}", {"a", ""}},
      {"{\\rtf1 a\\par b}", {"a", "b"}},
      {"{\\rtf1 }", {""}},
      {"{\\rtf1 \\par}", {""}},
  };
  for (const Case& k : cases) {
    QTextDocument doc;
    doc.setPlainText("old content\nreplaced");
    rtf::Read(k.rtf, &doc);
    QCOMPARE(Blocks(doc), k.blocks);
  }
}

void TestRtf::unicodeSkipCounts() {
  QTextDocument doc;
  // \uc0: nothing skipped; \uc2 in a group ends with it; a skipped control
  // word counts as one; a group end stops the skip.
  rtf::Read("{\\rtf1 \\uc0\\u12354 x{\\uc2\\u12356\\'82\\'a2y}\\u12358 z\\uc2\\u12360\\par ab{\\u12362 }c}",
            &doc);
  QCOMPARE(Text(doc), U("あxいyうzえbおc"));
  // Surrogate pairs written as two \u; lone halves become U+FFFD.
  rtf::Read("{\\rtf1\\uc1 \\u-10179?\\u-8704?|\\u-10179?x|\\u-8704?}", &doc);
  QCOMPARE(Text(doc), U("😀|\xef\xbf\xbdx|\xef\xbf\xbd"));
}

void TestRtf::corpusLoads() {
  QDir dir(QStringLiteral(SORAMEMO_CORPUS "/rtf-peer"));
  if (!dir.exists()) QSKIP("peer corpus not present");
  const QStringList files = dir.entryList({"*.rtf"}, QDir::Files, QDir::Name);
  QVERIFY(files.size() > 50);
  for (const QString& name : files) {
    QTextDocument doc;
    rtf::Read(Corpus(name), &doc);
    // What was read must survive a write and a second read unchanged.
    QTextDocument back;
    rtf::Read(rtf::Write(&doc), &back);
    QVERIFY2(Text(back) == Text(doc), qPrintable(name));
  }
  QTextDocument doc;
  rtf::Read(Corpus("p004_hello_world.rtf"), &doc);
  QVERIFY(Text(doc).contains("Hello"));
  rtf::Read(Corpus("RtfParserTest_fail_1.rtf"), &doc);
  QCOMPARE(Text(doc), U("Hello world in {RTF}\xe2\x80\xa6\n"));
}

void TestRtf::corpusJapanese() {
  if (!QDir(QStringLiteral(SORAMEMO_CORPUS "/rtf-peer")).exists()) QSKIP("peer corpus not present");
  QTextDocument doc;
  // \ansicpg1252, but the font is \fcharset128: its code page wins.
  rtf::Read(Corpus("RtfInterpreterTest_12.rtf"), &doc);
  QCOMPARE(Text(doc), U("バージョンアップ注文書（銀行振込）"));
  QCOMPARE(Family(doc.begin().begin().fragment().charFormat()), QStringLiteral("MS Gothic"));
  QCOMPARE(doc.begin().begin().fragment().charFormat().fontPointSize(), 20.0);
  QVERIFY(doc.begin().begin().fragment().charFormat().fontUnderline());

  rtf::Read(Corpus("RtfInterpreterTest_13.rtf"), &doc);
  const QStringList blocks = Blocks(doc);
  QVERIFY(blocks.contains(U("バージョン 8.5")));
  QVERIFY(blocks.contains(U("リリース ノート")));
  QVERIFY(blocks.contains(U("VirusScan for Mac v8.5 をご利用いただき、ありがとうございます。"
                            "この資料には、このバージョンに関する重要な情報が含まれていますので、"
                            "ぜひご一読いただくようお願いいたします。")));
  QVERIFY(blocks.contains(U("このファイルの内容")));
  QVERIFY(Text(doc).contains(U("Jaakko Järvi")));  // \fcharset0 text is 1252
  QVERIFY(!Text(doc).contains(QChar(0xFFFD)));
  // The font name itself is Shift-JIS.
  bool mincho = false;
  for (QTextBlock b = doc.begin(); b.isValid() && !mincho; b = b.next())
    for (auto it = b.begin(); !it.atEnd(); ++it)
      if (Family(it.fragment().charFormat()) == U("ＭＳ 明朝")) mincho = true;
  QVERIFY(mincho);

  for (const char* name : {"RtfInterpreterTest_16.rtf", "RtfInterpreterTest_17.rtf"}) {
    rtf::Read(Corpus(name), &doc);
    QCOMPARE(Blocks(doc), QStringList({U("これはテストです。"), QString(),
                                       U("The sentence above says that “This is just a test” "
                                         "in Japanese."),
                                       QString()}));
    QCOMPARE(doc.begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
  }
}

void TestRtf::badInput() {
  const QByteArray good =
      "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 \\'82\\'6c\\'82\\'72;}}"
      "{\\colortbl;\\red1\\green2\\blue3;}\\f0\\cf1\\b \\'82\\'a0\\u12356\\'82\\'a2 "
      "{\\*\\pn\\pnlvlblt}{\\pntext x}\\par{\\pict\\bin4 {{{{}{\\field{\\*\\fldinst a}{\\fldrslt b}}end}";
  // Every truncation of a valid file loads what it holds, without a crash.
  for (qsizetype n = 0; n <= good.size(); ++n) {
    QTextDocument doc;
    rtf::Read(good.left(n), &doc);
  }
  struct Case {
    const char* name;
    QByteArray rtf;
    QString text;
  };
  const QList<Case> cases = {
      {"unbalanced open", "{\\rtf1 one{\\b two{\\i three", "onetwothree"},
      {"extra close", "{\\rtf1 one}}}two}", "one"},
      {"close first", "}}{\\rtf1 one}", "one"},
      {"huge bin", "{\\rtf1 a\\bin99999999999999999999 bcd}", "a"},
      {"negative bin", "{\\rtf1 a\\bin-5 bcd}", "abcd"},
      {"quote at end", "{\\rtf1 a\\'", "a"},
      {"quote half", "{\\rtf1 a\\'4", "a\x04"},
      {"quote not hex", "{\\rtf1 a\\'zz}", "azz"},
      {"lead byte alone", "{\\rtf1\\ansicpg932{\\fonttbl{\\f0\\fcharset128 G;}}\\f0 a\\'82}", "a\xef\xbf\xbd"},
      {"u too big", "{\\rtf1 \\u99999 a\\u-99999 b\\u65536 c}", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},
      {"u huge", "{\\rtf1 \\u999999999999999999999 x}", "\xef\xbf\xbd"},
      {"uc huge", "{\\rtf1\\uc999999999 \\u12354 abcdefghijklmnopqrstuvwxyz}", "\xe3\x81\x82qrstuvwxyz"},
      {"backslash at end", "{\\rtf1 a\\", "a"},
      {"word at end", "{\\rtf1 a\\pa", "a"},
      {"long word", "{\\rtf1 a\\" + QByteArray(100000, 'x') + "1 b}", "ab"},
      {"star outside group", "{\\rtf1 \\*\\foo a}", "a"},
      {"destination at top", "{\\rtf1 \\pict a}", "a"},
      {"nul bytes", QByteArray("{\\rtf1 a\0b\\'00c}", 16), "abc"},
      {"not rtf", "plain text", "plain text"},
      {"empty", "", ""},
      {"font table never closed", "{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Times", ""},
      {"colours past the table", "{\\rtf1{\\colortbl;\\red9;}\\cf99 a\\cf-1 b}", "ab"},
      {"huge font size", "{\\rtf1\\fs99999999 a\\fs-4 b}", "ab"},
  };
  for (const Case& k : cases) {
    QTextDocument doc;
    rtf::Read(k.rtf, &doc);
    QVERIFY2(Text(doc) == k.text,
             qPrintable(QStringLiteral("%1: %2").arg(k.name, Text(doc))));
  }
  QTextDocument doc;
  rtf::Read("{\\rtf1\\fs99999999 a}", &doc);
  QCOMPARE(doc.begin().begin().fragment().charFormat().fontPointSize(), 1638.0);
}

void TestRtf::deepNesting() {
  // 100,000 groups deep: read without recursion, the text at the bottom and
  // after the groups close included.
  const int depth = 100000;
  QByteArray rtf = "{\\rtf1 top";
  rtf += QByteArray(depth, '{');
  rtf += "\\b deep";
  rtf += QByteArray(depth, '}');
  rtf += " back\\par}";
  QTextDocument doc;
  rtf::Read(rtf, &doc);
  QCOMPARE(Text(doc), QStringLiteral("topdeep back"));
  // Skipped destinations nest as deep.
  QByteArray skipped = "{\\rtf1 a{\\*\\x";
  skipped += QByteArray(depth, '{') + "hidden" + QByteArray(depth, '}');
  skipped += "}b}";
  rtf::Read(skipped, &doc);
  QCOMPARE(Text(doc), QStringLiteral("ab"));
  // Unclosed, to the end of the file.
  rtf::Read("{\\rtf1 x" + QByteArray(depth, '{') + "y", &doc);
  QCOMPARE(Text(doc), QStringLiteral("xy"));
}

void TestRtf::randomBytesNeverCrash() {
  // Fragments of RTF shuffled at random: the reader must end every time.
  const QList<QByteArray> pieces = {
      "{", "}", "\\par ", "\\'82", "\\'a0", "\\u12354 ", "\\uc2 ", "\\uc0 ", "\\bin3 ", "\\*",
      "\\pict ", "\\fonttbl ", "\\colortbl ", "\\f1 ", "\\fcharset128 ", ";", "\\red255 ",
      "\\pntext ", "\\pn ", "\\pnlvlblt ", "\\listtext ", "\\ls1 ", "\\listtable ", "\\list ",
      "\\listlevel ", "\\levelnfc23 ", "\\listid5 ", "\\listoverridetable ", "\\cell ", "\\row ",
      "\\b ", "\\fs48 ", "\\cf1 ", "\\pard ", "\\qc ", "\\fi-360 ", "abc", "\x82", "\xa0", "\\",
      "\\'", "\\u-10179 ", "\\line ", "\\tab ", "\\field ", "\\fldinst ", "\\fldrslt ", "\\plain ",
  };
  QRandomGenerator rng(20240601);
  for (int round = 0; round < 3000; ++round) {
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932 ";
    const int n = int(rng.bounded(60));
    for (int i = 0; i < n; ++i) rtf += pieces[int(rng.bounded(int(pieces.size())))];
    QTextDocument doc;
    rtf::Read(rtf, &doc);
    QTextDocument back;
    rtf::Read(rtf::Write(&doc), &back);
    QVERIFY2(Text(back) == Text(doc), rtf.constData());
  }
}

QTEST_MAIN(TestRtf)
#include "test_rtf.moc"
