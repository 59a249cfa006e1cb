// Guards the text control: byte positions, undo and Modified, display lines, loading, saving and attributes.
#include <QtTest>

#include <QAbstractTextDocumentLayout>
#include <QTemporaryDir>
#include <QTextBlock>

#include "platform/FileError.h"
#include "platform/RichEdit.h"
#include "platform/ShiftJis.h"

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// The control's measures against a recount of the Shift-JIS its text encodes to.
void CheckAgainstRecount(const TRichEdit& e, int step = 1) {
  const QByteArray sj = sjis::Encode(e.GetText());
  QCOMPARE(e.GetTextLen(), int(sj.size()));
  QCOMPARE(e.GetCharCount(), ByteToCharLen(sj, sj.size()));
  for (int n = -1; n <= sj.size() + 2; n += step) QCOMPARE(e.CharsBefore(n), ByteToCharLen(sj, n));
}

QString WriteFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
  QFile f(dir.filePath(name));
  if (f.open(QIODevice::WriteOnly)) f.write(bytes);
  return f.fileName();
}

void Select(TRichEdit& e, int start, int length) { e.SetSelStart(start), e.SetSelLength(length); }

}  // namespace

class TestRichEdit : public QObject {
  Q_OBJECT
 private slots:
  void bytePositions() {
    TRichEdit e;
    e.SetSelText(U("漢字abｱ\r\n二行目"));
    QCOMPARE(e.GetText(), U("漢字abｱ\r\n二行目"));
    QCOMPARE(e.GetSelStart(), 15);  // after the inserted text
    CheckAgainstRecount(e);
    e.SetSelStart(9);  // after CR LF: the second line
    QCOMPARE(e.GetSelStart(), 9);
    QCOMPARE(e.LineFromChar(9), 1);
    QCOMPARE(e.LineIndex(1), 9);
    e.SetSelStart(1000);  // past the end: the end
    QCOMPARE(e.GetSelStart(), e.GetTextLen());

    e.SelectAll();
    e.SetSelText(U("あいうabc"));
    Select(e, 2, 5);
    QCOMPARE(e.GetSelText(), U("いうa"));
    e.SetSelText("X");
    QCOMPARE(e.GetText(), U("あXbc"));
    QCOMPARE(e.GetSelStart(), 3);
    QCOMPARE(e.GetSelLength(), 0);
  }

  void undoAndModified() {
    TRichEdit e;
    e.SetSelText("first line\r\nsecond");
    e.SetModified(false);
    Select(e, 0, 5);
    e.SetSelText(U("最初\r\nの"));
    QCOMPARE(e.GetText(), U("最初\r\nの line\r\nsecond"));
    e.Undo();  // one step
    QCOMPARE(e.GetText(), QString("first line\r\nsecond"));
    QVERIFY(e.GetModified());  // back at the saved text, still modified: only the program clears it

    // Typed: Shift+Enter makes a paragraph break, measured as CR LF.
    e.SelectAll();
    e.SetSelText({});
    e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    QTest::keyClicks(&e, "a");
    QTest::keyClick(&e, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(&e, "b");
    QCOMPARE(e.GetText(), QString("a\r\nb"));
    QCOMPARE(e.GetTextLen(), 4);
    QCOMPARE(e.document()->blockCount(), 2);
  }

  void displayLines() {
    TRichEdit e;
    e.resize(220, 200); e.show();
    QVERIFY(QTest::qWaitForWindowExposed(&e));
    e.SetSelText("first\r\n" + U("これは折り返される長い段落です。").repeated(8) + "\r\nlast");
    const QTextBlock para = e.document()->findBlockByNumber(1);
    e.document()->documentLayout()->blockBoundingRect(e.document()->lastBlock());
    const int wrapped = para.layout()->lineCount();
    QVERIFY2(wrapped > 2, "the paragraph should wrap");
    const int lastStart = e.GetTextLen() - 4;
    QCOMPARE(e.LineFromChar(lastStart), 1 + wrapped);
    QCOMPARE(e.LineIndex(1 + wrapped), lastStart);
    QCOMPARE(e.LineIndex(2 + wrapped), -1);
    // The long paragraph's second display line starts where the layout says.
    const int second = e.BytePosOf(para.position() + para.layout()->lineAt(1).textStart());
    QCOMPARE(e.LineFromChar(second), 2);
    QCOMPARE(e.LineFromChar(second - 1), 1);
    QCOMPARE(e.LineIndex(2), second);
    e.SetSelStart(0);
    e.SetSelText("zero\r\n");
    QCOMPARE(e.LineFromChar(e.GetTextLen()), 2 + wrapped);
    e.resize(150, 200);  // narrower: more lines
    QCoreApplication::processEvents();
    QVERIFY(e.LineFromChar(e.GetTextLen()) > 2 + wrapped);
  }

  void loadAndSave() {
    QTemporaryDir dir;
    TRichEdit e;
    e.SetSelText("old");
    e.LoadFromFile(WriteFile(dir, "in.txt", sjis::Encode(U("一行目\r\n二行目\nthird\rｶﾅ"))));
    const QString lines = U("一行目\r\n二行目\r\nthird\r\nｶﾅ");
    QCOMPARE(e.GetText(), lines);
    e.Undo();  // loading starts a new undo history
    QCOMPARE(e.GetText(), lines);
    e.PlainText = true;
    e.SaveToFile(dir.filePath("out.txt"));
    QFile out(dir.filePath("out.txt"));
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), sjis::Encode(lines));

    // \line is a line break inside the paragraph that measures as CR LF.
    e.LoadFromFile(WriteFile(dir, "line.rtf", "{\\rtf1 a\\line b\\par c}"));
    QCOMPARE(e.document()->toRawText(), QString("a") + QChar(0x2028) + "b" + QChar(0x2029) + "c");
    QCOMPARE(e.GetText(), QString("a\r\nb\r\nc"));
    QCOMPARE(e.GetTextLen(), 7);
    QCOMPARE(e.CharsBefore(3), 3);

    // After loading, the caret takes the first character's format, not the default.
    e.LoadFromFile(WriteFile(dir, "start.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard\\b\\fs40 Big\\b0\\fs20  small\\par}"));
    QCOMPARE(e.SelAttributes().GetSize(), 20);
    QVERIFY(e.SelAttributes().GetStyle().Contains(TFontStyle::fsBold));
    e.SetSelStart(5); e.SetSelStart(0);
    QCOMPARE(e.SelAttributes().GetSize(), 20);
    e.SetSelText("A"); e.SetSelStart(1);  // typed text takes the format it stands in
    QCOMPARE(e.SelAttributes().GetSize(), 20);
  }

  void loadErrors() {
    QTemporaryDir dir;
    TRichEdit e;
    e.SetSelText("text");
    const auto error = [&](const QString& path) {
      try {
        e.LoadFromFile(path);
      } catch (const EFileError& err) {
        return err.text();
      }
      return QStringLiteral("no error");
    };
    QCOMPARE(error(dir.path()), U("「%1」はフォルダーです。ファイルを指定してください。").arg(dir.path()));
    const QString missing = dir.filePath("missing.txt");
    QCOMPARE(error(missing), U("「%1」を開けません。\nファイルを開けません（存在しないか、アクセス権がありません）。").arg(missing));
    QCOMPARE(e.GetText(), QString("text"));
  }

  void attributesOfSelectionAndCaret() {
    TRichEdit e;
    e.SetSelText("plain bold");
    Select(e, 6, 4);
    e.SelAttributes().SetStyle(TFontStyles{}.With(TFontStyle::fsBold));
    e.SelAttributes().SetSize(20);
    e.SetSelStart(8);  // inside: the text before the caret
    QVERIFY(e.SelAttributes().GetStyle().Contains(TFontStyle::fsBold));
    QCOMPARE(e.SelAttributes().GetSize(), 20);
    Select(e, 0, 8);  // a mixed selection answers for its first character
    QVERIFY(!e.SelAttributes().GetStyle().Contains(TFontStyle::fsBold));
    QVERIFY(e.SelAttributes().GetSize() != 20);
  }
};

QTEST_MAIN(TestRichEdit)
#include "test_richedit.moc"
