#include <QtTest>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QPrinter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextBlock>

#include <csignal>
#include <sys/resource.h>

#include "platform/FileError.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"

namespace {

// Independent count: encode the whole text with the converter and count.
int BytesOf(const TRichEdit& e) { return int(sjis::Encode(e.GetText()).size()); }

void Type(TRichEdit& e, const QString& text) { e.SetSelText(text); }

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestRichEdit : public QObject {
  Q_OBJECT
 private slots:
  void byteOffsetsOfMixedText();
  void selectionByBytes();
  void indexFollowsRandomEdits();
  void setSelTextIsOneUndoStepAndSetsModified();
  void typingAndUndo();
  void findText_data();
  void findText();
  void displayLinesCountWrappedParagraphs();
  void plainLoadAndSave();
  void caretAtParagraphStartTakesFirstCharacterFormat();
  void fileErrors();
  void failedSaveKeepsExistingFile();
  void characterAttributes();
  void paragraphAttributes();
  void eventsFire();
  void printUsesTitle();
};

void TestRichEdit::byteOffsetsOfMixedText() {
  TRichEdit e;
  Type(e, QString::fromUtf8("漢字abｱ\r\n二行目"));
  QCOMPARE(e.GetText(), QString::fromUtf8("漢字abｱ\r\n二行目"));
  QCOMPARE(e.GetTextLen(), 15);
  QCOMPARE(e.GetTextLen(), BytesOf(e));
  QCOMPARE(e.GetSelStart(), 15);  // caret after the inserted text
  e.SetSelStart(7);
  QCOMPARE(e.GetSelStart(), 7);
  QCOMPARE(e.CharsBefore(7), 5);
  e.SetSelStart(9);  // after CR LF: start of the second line
  QCOMPARE(e.GetSelStart(), 9);
  QCOMPARE(e.LineFromChar(9), 1);
  QCOMPARE(e.LineIndex(1), 9);
  QCOMPARE(e.CharsBefore(9), 7);
  QCOMPARE(e.GetCharCount(), 10);
  const QByteArray sj = sjis::Encode(e.GetText());
  for (int n = -1; n <= e.GetTextLen() + 2; ++n) QCOMPARE(e.CharsBefore(n), ByteToCharLen(sj, n));
}

void TestRichEdit::selectionByBytes() {
  TRichEdit e;
  Type(e, QString::fromUtf8("あいうabc"));
  e.SetSelStart(2);
  e.SetSelLength(5);
  QCOMPARE(e.GetSelStart(), 2);
  QCOMPARE(e.GetSelLength(), 5);
  QCOMPARE(e.GetSelText(), QString::fromUtf8("いうa"));
  e.SetSelText("X");
  QCOMPARE(e.GetText(), QString::fromUtf8("あXbc"));
  QCOMPARE(e.GetSelStart(), 3);
  QCOMPARE(e.GetSelLength(), 0);
  e.SetSelStart(1000);  // past the end: the end
  QCOMPARE(e.GetSelStart(), e.GetTextLen());
  e.SelectAll();
  QCOMPARE(e.GetSelLength(), e.GetTextLen());
}

void TestRichEdit::indexFollowsRandomEdits() {
  TRichEdit e;
  QRandomGenerator rng(1234);
  const QStringList pieces = {"a", "漢", "ｱ", "\r\n", "テキスト", "\n", "xyz\r\n字", "é",
                              QString::fromUcs4(U"𠮷"), "\r\n\r\n", "ab"};
  for (int step = 0; step < 600; ++step) {
    const int len = e.GetTextLen();
    e.SetSelStart(int(rng.bounded(len + 1)));
    if (rng.bounded(3) == 0) e.SetSelLength(int(rng.bounded(12)));
    if (rng.bounded(4) == 0)
      e.SetSelText(QString());
    else
      e.SetSelText(pieces[int(rng.bounded(pieces.size()))]);
    QCOMPARE(e.GetTextLen(), BytesOf(e));
  }
  const QByteArray sj = sjis::Encode(e.GetText());
  QCOMPARE(e.GetCharCount(), ByteToCharLen(sj, sj.size()));
  // Every character boundary maps back to itself.
  const QString text = e.document()->toRawText();
  for (int doc = 0; doc <= text.size(); ++doc) {
    if (doc < text.size() && text[doc].isLowSurrogate()) continue;
    QCOMPARE(e.DocPosOf(e.BytePosOf(doc)), doc);
  }
  for (int n = 0; n <= sj.size(); n += 7) QCOMPARE(e.CharsBefore(n), ByteToCharLen(sj, n));
}

void TestRichEdit::setSelTextIsOneUndoStepAndSetsModified() {
  TRichEdit e;
  Type(e, "first line\r\nsecond");
  e.SetModified(false);
  e.SetSelStart(0);
  e.SetSelLength(5);
  e.SetSelText(QString::fromUtf8("最初\r\nの"));
  QVERIFY(e.GetModified());
  QCOMPARE(e.GetText(), QString::fromUtf8("最初\r\nの line\r\nsecond"));
  e.Undo();
  QCOMPARE(e.GetText(), QString("first line\r\nsecond"));
  QVERIFY(e.GetModified());  // undo is a change too; only the program clears it
}

void TestRichEdit::typingAndUndo() {
  TRichEdit e;
  e.show();
  QVERIFY(QTest::qWaitForWindowExposed(&e));
  QTest::keyClicks(&e, "hello");
  QCOMPARE(e.GetText(), QString("hello"));
  QVERIFY(e.GetModified());
  e.SelectAll();
  e.CopyToClipboard();
  e.SetSelStart(e.GetTextLen());
  e.PasteFromClipboard();
  QCOMPARE(e.GetText(), QString("hellohello"));
  e.Undo();  // the paste alone
  QCOMPARE(e.GetText(), QString("hello"));
  e.Undo();  // the typed run
  QCOMPARE(e.GetText(), QString());
  // Shift+Enter makes a paragraph break, measured as CR LF.
  QTest::keyClicks(&e, "a");
  QTest::keyClick(&e, Qt::Key_Return, Qt::ShiftModifier);
  QTest::keyClicks(&e, "b");
  QCOMPARE(e.GetText(), QString("a\r\nb"));
  QCOMPARE(e.GetTextLen(), 4);
}

void TestRichEdit::findText_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("what");
  QTest::addColumn<int>("start");
  QTest::addColumn<int>("length");
  QTest::addColumn<int>("types");
  QTest::addColumn<int>("expected");
  const QString jp = QString::fromUtf8("日本語の文書。Word word WORD\r\n二行目の文書");
  QTest::newRow("japanese") << jp << QString::fromUtf8("文書") << 0 << 100 << 0 << 8;
  QTest::newRow("from after first") << jp << QString::fromUtf8("文書") << 9 << 100 << 0 << 38;
  QTest::newRow("case-insensitive") << jp << "word" << 0 << 100 << 0 << 14;
  QTest::newRow("match case") << jp << "word" << 0 << 100 << int(stMatchCase) << 19;
  QTest::newRow("match case upper") << jp << "WORD" << 0 << 100 << int(stMatchCase) << 24;
  QTest::newRow("range too short") << jp << QString::fromUtf8("文書") << 0 << 9 << 0 << -1;
  QTest::newRow("range exact") << jp << QString::fromUtf8("文書") << 0 << 12 << 0 << 8;
  QTest::newRow("clipped at end") << jp << QString::fromUtf8("二行目") << 20 << 100000 << 0 << 30;
  QTest::newRow("empty never found") << jp << QString() << 0 << 100 << 0 << -1;
  QTest::newRow("whole word") << QString("wordy word") << "word" << 0 << 100 << int(stWholeWord) << 6;
  QTest::newRow("across lines") << jp << QString::fromUtf8("WORD\r\n二") << 0 << 100 << 0 << 24;
  QTest::newRow("start past end") << jp << "W" << 500 << 10 << 0 << -1;
}

void TestRichEdit::findText() {
  QFETCH(QString, text);
  QFETCH(QString, what);
  QFETCH(int, start);
  QFETCH(int, length);
  QFETCH(int, types);
  QFETCH(int, expected);
  TRichEdit e;
  Type(e, text);
  QCOMPARE(e.FindText(what, start, length, types), expected);
}

void TestRichEdit::displayLinesCountWrappedParagraphs() {
  TRichEdit e;
  e.resize(220, 200);
  e.show();
  QVERIFY(QTest::qWaitForWindowExposed(&e));
  const QString longPara = QString::fromUtf8("これは折り返される長い段落です。").repeated(8);
  Type(e, "first\r\n" + longPara + "\r\nlast");
  const QTextBlock para = e.document()->findBlockByNumber(1);
  e.document()->documentLayout()->blockBoundingRect(e.document()->lastBlock());
  const int wrapped = para.layout()->lineCount();
  QVERIFY2(wrapped > 2, "the paragraph should wrap");
  const int lastStart = e.GetTextLen() - 4;
  QCOMPARE(e.LineFromChar(lastStart), 1 + wrapped);
  QCOMPARE(e.LineIndex(1 + wrapped), lastStart);
  // The second display line of the long paragraph starts where the layout says.
  const int secondLineDoc = para.position() + para.layout()->lineAt(1).textStart();
  const int secondLine = e.BytePosOf(secondLineDoc);
  QCOMPARE(e.LineFromChar(secondLine), 2);
  QCOMPARE(e.LineIndex(2), secondLine);
  QCOMPARE(e.LineFromChar(secondLine - 1), 1);
  QCOMPARE(e.LineIndex(2 + wrapped), -1);
  // An edit before the paragraph shifts the numbers.
  e.SetSelStart(0);
  e.SetSelText("zero\r\n");
  QCOMPARE(e.LineFromChar(e.GetTextLen()), 2 + wrapped);
  // A narrower window wraps more.
  e.resize(150, 200);
  QCoreApplication::processEvents();
  QVERIFY(e.LineFromChar(e.GetTextLen()) > 2 + wrapped);
}

void TestRichEdit::plainLoadAndSave() {
  QTemporaryDir dir;
  const QString in = dir.filePath("in.txt");
  {
    QFile f(in);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(sjis::Encode(QString::fromUtf8("一行目\r\n二行目\nthird\rｶﾅ")));
  }
  TRichEdit e;
  e.LoadFromFile(in);
  QCOMPARE(e.GetText(), QString::fromUtf8("一行目\r\n二行目\r\nthird\r\nｶﾅ"));
  QCOMPARE(e.GetTextLen(), 6 + 2 + 6 + 2 + 5 + 2 + 2);
  e.PlainText = true;
  const QString out = dir.filePath("out.txt");
  e.SaveToFile(out);
  QCOMPARE(ReadFile(out), sjis::Encode(QString::fromUtf8("一行目\r\n二行目\r\nthird\r\nｶﾅ")));
  // Loading resets the undo history: nothing to undo back into the old text.
  e.Undo();
  QCOMPARE(e.GetTextLen(), 25);
}

void TestRichEdit::caretAtParagraphStartTakesFirstCharacterFormat() {
  QTemporaryDir dir;
  const QString path = dir.filePath("start.rtf");
  {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\b\\fs40 Big\\b0\\fs20  small\\par}");
  }
  TRichEdit e;
  e.LoadFromFile(path);
  QCOMPARE(e.GetText(), QString("Big small"));
  QCOMPARE(e.SelAttributes().GetSize(), 20);  // the caret stands at the top after loading
  e.SetSelStart(5);
  e.SetSelStart(0);
  QCOMPARE(e.SelAttributes().GetSize(), 20);
  QVERIFY(e.SelAttributes().GetStyle().Contains(TFontStyle::fsBold));
  e.SetSelText("A");  // typed text takes the format it stands in
  e.SetSelStart(1);
  QCOMPARE(e.SelAttributes().GetSize(), 20);
}

void TestRichEdit::fileErrors() {
  QTemporaryDir dir;
  TRichEdit e;
  Type(e, "text");
  const auto expectError = [&](auto f, const char* fragment) {
    try {
      f();
    } catch (const EFileError& err) {
      QVERIFY2(err.text().contains(QString::fromUtf8(fragment)), qPrintable(err.text()));
      return;
    }
    QFAIL("no EFileError");
  };
  expectError([&] { e.LoadFromFile(dir.path()); }, "フォルダー");
  expectError([&] { e.LoadFromFile(dir.filePath("missing.txt")); }, "開けません");
  expectError([&] { e.SaveToFile(dir.filePath("no/such/folder/a.txt")); }, "フォルダー");
  expectError([&] { e.SaveToFile(dir.path()); }, "フォルダー");
  if (QFileInfo::exists("/dev/full")) {
    e.PlainText = true;
    expectError([&] { e.SaveToFile("/dev/full"); }, "保存できません");
    QVERIFY(QFileInfo("/dev/full").isFile() == false);  // still the device
  }
  const QString tooLong = dir.filePath(QString(300, 'x') + ".txt");
  expectError([&] { e.SaveToFile(tooLong); }, "保存できません");
  QCOMPARE(e.GetText(), QString("text"));
}

void TestRichEdit::failedSaveKeepsExistingFile() {
  QTemporaryDir dir;
  const QString path = dir.filePath("keep.txt");
  {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("original bytes");
  }
  TRichEdit e;
  Type(e, QString("new content that does not fit ").repeated(200));
  e.PlainText = true;
  // A file size limit makes the write fail part way, as a full disk does,
  // whatever rights the test runs with.
  struct rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  struct rlimit small = old;
  small.rlim_cur = 1024;
  signal(SIGXFSZ, SIG_IGN);
  QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool failed = false;
  try {
    e.SaveToFile(path);
  } catch (const EFileError& err) {
    failed = err.text().contains(QString::fromUtf8("保存できません"));
  }
  setrlimit(RLIMIT_FSIZE, &old);
  QVERIFY(failed);
  QCOMPARE(ReadFile(path), QByteArray("original bytes"));
  QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"keep.txt"});  // no temporary left
}

void TestRichEdit::characterAttributes() {
  TRichEdit e;
  Type(e, "plain bold");
  e.SetSelStart(6);
  e.SetSelLength(4);
  e.SelAttributes().SetStyle(TFontStyles{}.With(TFontStyle::fsBold).With(TFontStyle::fsStrikeOut));
  e.SelAttributes().SetSize(20);
  e.SelAttributes().SetColor(clRed);
  e.SelAttributes().SetName("IPAPGothic");
  e.SelAttributes().SetCharset(128);
  e.SetSelStart(8);  // caret inside: insertion attributes are those of the text before
  QVERIFY(e.SelAttributes().GetStyle().Contains(TFontStyle::fsBold));
  QVERIFY(e.SelAttributes().GetStyle().Contains(TFontStyle::fsStrikeOut));
  QVERIFY(!e.SelAttributes().GetStyle().Contains(TFontStyle::fsItalic));
  QCOMPARE(e.SelAttributes().GetSize(), 20);
  QCOMPARE(e.SelAttributes().GetColor(), clRed);
  QCOMPARE(e.SelAttributes().GetName(), QString("IPAPGothic"));
  QTextCursor c(e.document());
  c.setPosition(8);
  QCOMPARE(c.charFormat().intProperty(textfmt::CharsetProperty), 128);
  // A selection reports its first character.
  e.SetSelStart(0);
  e.SetSelLength(8);
  QVERIFY(!e.SelAttributes().GetStyle().Contains(TFontStyle::fsBold));
  // Through a font and back.
  TColor col = 0;
  const QFont f = [&] { e.SetSelStart(8); return e.SelAttributes().ToFont(&col); }();
  QVERIFY(f.bold());
  QCOMPARE(f.pointSize(), 20);
  QCOMPARE(col, clRed);
  e.SetSelStart(0);
  e.SetSelLength(5);
  e.SelAttributes().Assign(f, clBlue);
  e.SetSelStart(2);
  QCOMPARE(e.SelAttributes().GetSize(), 20);
  QCOMPARE(e.SelAttributes().GetColor(), clBlue);
}

void TestRichEdit::paragraphAttributes() {
  TRichEdit e;
  Type(e, "one\r\ntwo\r\nthree");
  e.SetSelStart(2);
  e.SetSelLength(7);  // touches "one" and "two"
  e.Paragraph().SetAlignment(taCenter);
  e.Paragraph().SetFirstIndent(10);
  e.Paragraph().SetLeftIndent(-5);
  e.Paragraph().SetRightIndent(7);
  e.Paragraph().SetNumbering(nsBullet);
  e.SetSelStart(6);
  QCOMPARE(e.Paragraph().GetAlignment(), taCenter);
  QCOMPARE(e.Paragraph().GetFirstIndent(), 10);
  QCOMPARE(e.Paragraph().GetLeftIndent(), -5);
  QCOMPARE(e.Paragraph().GetRightIndent(), 7);
  QCOMPARE(e.Paragraph().GetNumbering(), nsBullet);
  e.SetSelStart(e.GetTextLen());
  QCOMPARE(e.Paragraph().GetAlignment(), taLeftJustify);
  QCOMPARE(e.Paragraph().GetNumbering(), nsNone);
  QCOMPARE(e.Paragraph().GetFirstIndent(), 0);
  e.SetSelStart(0);
  e.Paragraph().SetNumbering(nsNone);
  QCOMPARE(e.Paragraph().GetNumbering(), nsNone);
  e.SetSelStart(6);
  QCOMPARE(e.Paragraph().GetNumbering(), nsBullet);
  e.Paragraph().SetAlignment(taRightJustify);
  QCOMPARE(e.Paragraph().GetAlignment(), taRightJustify);
  QCOMPARE(e.GetText(), QString("one\r\ntwo\r\nthree"));
}

void TestRichEdit::eventsFire() {
  TRichEdit e;
  e.show();
  QVERIFY(QTest::qWaitForWindowExposed(&e));
  QSignalSpy change(&e, &TRichEdit::OnChange);
  QSignalSpy sel(&e, &TRichEdit::OnSelectionChange);
  QSignalSpy keyUp(&e, &TRichEdit::OnKeyUp);
  QSignalSpy mouse(&e, &TRichEdit::OnMouseDown);
  e.SetSelText("abc");
  QVERIFY(change.count() >= 1);
  QVERIFY(sel.count() >= 1);
  const int changes = change.count();
  e.SetSelStart(1);
  QCOMPARE(change.count(), changes);  // a caret move is no change
  QTest::keyClick(&e, Qt::Key_Shift);
  QCOMPARE(keyUp.count(), 1);
  QTest::mouseClick(e.viewport(), Qt::RightButton, {}, QPoint(5, 5));
  QCOMPARE(mouse.count(), 1);
  QCOMPARE(mouse.first().at(0).value<Qt::MouseButton>(), Qt::RightButton);
  QCOMPARE(mouse.first().at(2).toInt(), 5);
}

void TestRichEdit::printUsesTitle() {
  QTemporaryDir dir;
  TRichEdit e;
  Type(e, QString::fromUtf8("印刷する文書"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir.filePath("out.pdf"));
  e.Print(QString::fromUtf8("文書タイトル"), &printer);
  QCOMPARE(printer.docName(), QString::fromUtf8("文書タイトル"));
  QVERIFY(ReadFile(dir.filePath("out.pdf")).startsWith("%PDF"));
}

QTEST_MAIN(TestRichEdit)
#include "test_richedit.moc"
